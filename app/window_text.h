#pragma once
// Text from the Qt-free layers as a window shows it. The model's strings are UTF-8 throughout.

#include <QString>
#include <QStringList>

#include <string>

namespace mv {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// "a", "a and b", "a, b and c".
inline QString AndList(const QStringList& items) {
    if (items.size() < 2) return items.join("");
    return items.mid(0, items.size() - 1).join(", ") + " and " + items.back();
}

} // namespace mv
