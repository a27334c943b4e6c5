#pragma once
// The application font set to a point size for one test case and put back when the case ends.

#include <QApplication>
#include <QFont>

namespace mz::test {

class ApplicationFontScope
{
public:
    // `pointSize` 0 keeps the default font.
    explicit ApplicationFontScope(int pointSize) : m_saved(QApplication::font())
    {
        m_font = m_saved;
        if (pointSize)
            m_font.setPointSize(pointSize);
        QApplication::setFont(m_font);
    }
    ~ApplicationFontScope() { QApplication::setFont(m_saved); }
    ApplicationFontScope(const ApplicationFontScope &) = delete;
    ApplicationFontScope &operator=(const ApplicationFontScope &) = delete;
    const QFont &font() const { return m_font; }

private:
    QFont m_saved, m_font;
};

} // namespace mz::test
