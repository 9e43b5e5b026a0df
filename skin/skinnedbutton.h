#pragma once

#include <QAbstractButton>
#include <QColor>

// The skinned push button: a flat face in one colour with a bevel, and its
// caption drawn at an offset inside the button.
class SkinnedButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int posx READ posx WRITE setPosx)
    Q_PROPERTY(int posy READ posy WRITE setPosy)
    Q_PROPERTY(QColor faceColor READ faceColor WRITE setFaceColor)
    Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)

public:
    SkinnedButton(const QString &caption, int posx, int posy, QWidget *parent = nullptr);

    // Caption offset inside the button, in twips.
    int posx() const { return m_posx; }
    int posy() const { return m_posy; }
    void setPosx(int twips);
    void setPosy(int twips);
    // The face, and the caption drawn on it.
    QColor faceColor() const { return m_face; }
    QColor captionColor() const { return m_caption; }
    void setFaceColor(const QColor &color);
    void setCaptionColor(const QColor &color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_posx;
    int m_posy;
    QColor m_face{234, 183, 110};
    QColor m_caption{0, 0, 0};
};
