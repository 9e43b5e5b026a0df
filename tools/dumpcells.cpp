// Prints the cell texts of the first worksheet of workbooks, as the reader
// gives them (before the import removes the spaces around them), for
// tools/agreement.py. Reads one path a line from standard input and writes one
// JSON object a line:
//
//   {"path": "...", "sheets": ["Sheet1", ...], "cells": [["A1", "B1", ...], ...]}
//   {"path": "...", "error": 5}
//
//   dumpcells ROWS COLUMNS < paths

#include "workbook/open/openworkbook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dumpcells ROWS COLUMNS < paths\n");
        return 64;
    }
    const int rows = std::atoi(argv[1]);
    const int columns = std::atoi(argv[2]);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty()) continue;
        const QString path = QString::fromStdString(line);
        QJsonObject result{{QStringLiteral("path"), path}};
        int error = 0;
        const auto workbook = analysis::openWorkbook(path, &error);
        if (!workbook) {
            result.insert(QStringLiteral("error"), error);
        } else {
            result.insert(QStringLiteral("sheets"),
                          QJsonArray::fromStringList(workbook->sheetNames()));
            QJsonArray cells;
            for (int row = 1; row <= rows && !error; ++row) {
                QJsonArray texts;
                for (int column = 1; column <= columns; ++column) {
                    QString text;
                    error = workbook->cellText(0, row, column, &text);
                    if (error) break;
                    texts.append(text);
                }
                cells.append(texts);
            }
            if (error)
                result.insert(QStringLiteral("error"), error);
            else
                result.insert(QStringLiteral("cells"), cells);
        }
        const QByteArray json = QJsonDocument(result).toJson(QJsonDocument::Compact);
        std::fwrite(json.constData(), 1, std::size_t(json.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return 0;
}
