#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QToolButton>

// Colours by the program's colour numbers: blue in the high byte, red in the low byte.
QColor ColorFromNumber(quint32 number);
// The named colours the forms use.
inline constexpr quint32 clBlack = 0x000000;
inline constexpr quint32 clWhite = 0xFFFFFF;
inline constexpr quint32 clSilver = 0xC0C0C0;
inline constexpr quint32 clNavy = 0x800000;
inline constexpr quint32 clBtnFace = 0xC8D0D4;
inline constexpr quint32 clBackground = 0xA56E3A; // the desktop colour
inline constexpr quint32 clLightGrey = 14671839;  // red, green and blue 223 each

// A font by family and character height in pixels ("Arial", 13).
QFont PixelFont(const QString &family, int pixelSize, bool bold = false);
// The substitutions of the fonts the layouts name by metric-compatible free fonts.
void InstallFontSubstitutions();
// Sets a widget's background colour (and makes it draw it).
void SetBackground(QWidget *widget, quint32 colour);
// Sets a widget's text colour.
void SetTextColor(QWidget *widget, quint32 colour);

// A label as the forms use it: plain text, auto-sized to its text unless told otherwise,
// transparent unless given a colour, and clickable.
class TLabel : public QLabel
{
    Q_OBJECT
public:
    TLabel(QWidget *parent, const QString &name, int left, int top, const QString &caption,
           const QFont &font, bool autoSize = true);

    // Sets the text; an auto-sized label takes the size of its text.
    void setCaption(const QString &caption);
    QString caption() const { return text(); }
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    // A background colour; the label is no longer transparent.
    void setColor(quint32 colour);
    void setTransparent();
    void setFontColor(quint32 colour);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_autoSize;
    bool m_pressed = false;
};

// A flat speed button, optionally with a picture above its caption.
QToolButton *MakeSpeedButton(QWidget *parent, const QString &name, int left, int top, int width,
                             int height, const QString &caption, const QIcon &picture = QIcon());
