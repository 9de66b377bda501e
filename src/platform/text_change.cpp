// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "text_change.h"

#include <algorithm>

TextChange textChange(QStringView was, QStringView now)
{
    const qsizetype shorter = std::min(was.size(), now.size());
    qsizetype same = 0, sameAtEnd = 0;
    while (same < shorter && was[same] == now[same])
        ++same;
    while (sameAtEnd < shorter - same &&
           was[was.size() - 1 - sameAtEnd] == now[now.size() - 1 - sameAtEnd])
        ++sameAtEnd;
    return {same, was.size() - same - sameAtEnd,
            now.mid(same, now.size() - same - sameAtEnd).toString()};
}
