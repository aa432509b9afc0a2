#pragma once

#include <cstdio>
#include <ostream>

#include "core/common/date_time.h"

namespace qm {

// Readable date-times in test failures: 2026-12-03 21:30:00.
inline void PrintTo(const DateTime& t, std::ostream* os) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Date().year, t.Date().month,
                  t.Date().day, t.Time().hour, t.Time().minute, t.Time().second);
    *os << text;
}

// Short spelling of the date-times the tables are full of.
inline DateTime D(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::Make(y, mo, d, h, mi, s);
}

}  // namespace qm
