#include "registry/HouseCoordinates.h"

#include <algorithm>
#include <cstdlib>

namespace HouseCoordinates {

std::optional<int> houseNumber(const QString &numImov)
{
    const QString head = numImov.left(5).trimmed();
    int digits = 0;
    while (digits < head.size() && head.at(digits).isDigit())
        ++digits;
    if (digits == 0)
        return std::nullopt;
    return head.left(digits).toInt();
}

QPointF walk(const QList<House> &houses, int n)
{
    struct Known {
        int number;
        const House *house;
    };
    QList<Known> near, sameSide;
    for (const House &h : houses) {
        const std::optional<int> v = houseNumber(h.numImov);
        if (!v)
            continue;
        if (*v == n)
            return QPointF(h.x, h.y);
        if (*v < n - 100 || *v > n + 100)
            continue;
        near << Known{*v, &h};
        if (std::abs(*v % 2) == std::abs(n % 2))
            sameSide << Known{*v, &h};
    }
    QList<Known> rows = sameSide.isEmpty() ? near : sameSide;
    std::stable_sort(rows.begin(), rows.end(), [](const Known &a, const Known &b) { return a.number < b.number; });

    int lower = 0, upper = 0;
    QPointF at(0, 0);
    for (const Known &k : rows) {
        at = QPointF(k.house->x, k.house->y);
        if (k.number <= n) {
            lower = k.number;
        } else {
            upper = k.number;
            break;
        }
    }
    // A neighbour too far away gives no position rather than a wrong one.
    if (std::abs(n - lower) < std::abs(upper - n)) {
        if (lower < n - 100)
            at = QPointF(0, 0);
    } else if (upper > n + 100) {
        at = QPointF(0, 0);
    }
    return at;
}

} // namespace HouseCoordinates
