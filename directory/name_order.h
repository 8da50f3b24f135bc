#pragma once
// The order of user, group and member names in every list: ASCII letters
// upper-cased, then compared byte by byte in Windows-1252 (the code page the
// older clients compare in), a shorter name first when it is a prefix of the
// other. So "€" (0x80) sorts after "Z" and "_" but before "É" (0xC9), and
// "é" (0xE9) is not folded onto "É".
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <numeric>
#include <vector>

namespace nv {

// The bytes two names are compared by.
QByteArray nameSortKey(const QString &name);

// <0, 0 or >0 as a sorts before, with or after b.
int CompareNames(const QString &a, const QString &b);
inline bool NameLess(const QString &a, const QString &b) { return CompareNames(a, b) < 0; }

// Sorts items by the name nameOf gives. Names equal under the rule keep
// their order (the older clients leave such names in either order).
template <class Container, class NameOf>
void sortByName(Container &items, NameOf nameOf)
{
    std::vector<QByteArray> keys;
    keys.reserve(size_t(items.size()));
    for (const auto &item : items)
        keys.push_back(nameSortKey(nameOf(item)));
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    Container sorted;
    sorted.reserve(items.size());
    for (size_t i : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

} // namespace nv
