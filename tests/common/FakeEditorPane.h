#pragma once
#include "model/CUndoRedo.h"
#include "platform/EditorPanePort.h"

#include <QString>
#include <QStringList>

#include <algorithm>

// Stands in for the editor widget. It holds a text and a selection and logs
// every call made through the port, in order: "setText", "setCaret <pos>"
// (the position asked for, before clamping), "giveFocus".
//
// Besides the port it plays the user's edits the way the edit control does
// (typing or pasting over the selection, Backspace, Delete), so that a test
// can take real before- and after-states with state(). Those edits are not
// logged: they are not calls of the program.
class FakeEditorPane : public EditorPanePort
{
public:
    QStringList calls;

    explicit FakeEditorPane(const QString &text = {})
        : m_text(text)
    {
    }

    // The port.
    QString text() const override { return m_text; }
    void setText(const QString &text) override
    {
        calls.append(QStringLiteral("setText"));
        m_text = text;
        m_start = m_end = 0; // like the widget: caret at the top
    }
    void setCaret(qint32 position) override
    {
        calls.append(QStringLiteral("setCaret %1").arg(position));
        m_start = m_end = clamp(position);
    }
    void giveFocus() override
    {
        calls.append(QStringLiteral("giveFocus"));
        ++focusCount;
    }
    int focusCount = 0;

    qsizetype callCount(const QString &name) const
    {
        return std::count_if(calls.cbegin(), calls.cend(), [&name](const QString &call) {
            return call == name || call.startsWith(name + QLatin1Char(' '));
        });
    }

    qint32 selectionStart() const { return m_start; }
    qint32 selectionEnd() const { return m_end; }
    qint32 caret() const { return m_start; }

    EditorState state() const { return EditorState{m_start, m_end, qint32(m_text.size()), m_text}; }

    // The user's edits.
    void select(qint32 from, qint32 to)
    {
        m_start = clamp(std::min(from, to));
        m_end = clamp(std::max(from, to));
    }
    // Typing, pasting, or the replace command's replacement of the
    // selection; the caret ends after the new text.
    void typeText(const QString &text)
    {
        m_text.replace(m_start, m_end - m_start, text);
        m_start = m_end = m_start + qint32(text.size());
    }
    void typeAtEnd(const QString &text)
    {
        select(qint32(m_text.size()), qint32(m_text.size()));
        typeText(text);
    }
    // Select all, then type or paste.
    void replaceAll(const QString &text)
    {
        select(0, qint32(m_text.size()));
        typeText(text);
    }
    void cut() { typeText({}); }
    // A line break and a surrogate pair go as one character, as in the widget.
    void backspace()
    {
        if (m_start == m_end)
            m_start -= charBefore(m_start);
        typeText({});
    }
    void deleteForward()
    {
        if (m_start == m_end)
            m_end += charAfter(m_end);
        typeText({});
    }

private:
    qint32 clamp(qint32 position) const { return std::clamp(position, 0, qint32(m_text.size())); }

    qint32 charBefore(qint32 at) const
    {
        if (at <= 0)
            return 0;
        if (at >= 2 && m_text.at(at - 2) == QLatin1Char('\r') && m_text.at(at - 1) == QLatin1Char('\n'))
            return 2;
        if (at >= 2 && m_text.at(at - 1).isLowSurrogate() && m_text.at(at - 2).isHighSurrogate())
            return 2;
        return 1;
    }
    qint32 charAfter(qint32 at) const
    {
        const qint32 size = qint32(m_text.size());
        if (at >= size)
            return 0;
        if (at + 1 < size && m_text.at(at) == QLatin1Char('\r') && m_text.at(at + 1) == QLatin1Char('\n'))
            return 2;
        if (at + 1 < size && m_text.at(at).isHighSurrogate() && m_text.at(at + 1).isLowSurrogate())
            return 2;
        return 1;
    }

    QString m_text;
    qint32 m_start = 0;
    qint32 m_end = 0;
};
