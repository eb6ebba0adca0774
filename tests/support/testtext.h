#pragma once

#include <QDebug>

// The values as the debug stream writes them, one space apart and strings unquoted: one
// comparison then shows every field that differs.
template <typename... Values>
QString words(const Values &...values)
{
    QString text;
    QDebug out(&text);
    out.noquote();
    (out << ... << values);
    return text.trimmed();
}
