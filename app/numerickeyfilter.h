#pragma once

#include <QObject>

// Applies analysis::FilterNumericKey to every character typed into the fields it is
// installed on, before the field takes it. Keys that type nothing (arrows,
// Delete, Tab) are left alone; text put in by the program is not filtered.
class NumericKeyFilter : public QObject {
public:
    using QObject::QObject;

    // Installs one shared filter on a field.
    static void install(QObject *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
