#include "directory/name_order.h"

#include "platform/codec.h"

namespace nv {

QByteArray nameSortKey(const QString &name)
{
    QByteArray key = toAnsi(name);
    for (char &c : key)
        if (c >= 'a' && c <= 'z')
            c = char(c - ('a' - 'A'));
    return key;
}

int CompareNames(const QString &a, const QString &b)
{
    // QByteArray compares as unsigned bytes, shorter first on a common prefix.
    return nameSortKey(a).compare(nameSortKey(b));
}

} // namespace nv
