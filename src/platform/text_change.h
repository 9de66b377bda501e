// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

// What an edit did to a text, as one replacement: from start, removed characters of the old text
// gave way to inserted. Keyboards that edit a text rather than send keys (a suggestion, a
// dictated word, a deletion by an input method) say only what the text is afterwards.
struct TextChange
{
    qsizetype start = 0;
    qsizetype removed = 0;
    QString inserted;

    friend bool operator==(const TextChange &, const TextChange &) = default;
};

// The smallest such replacement: what the two texts share at their start and, of the rest, at
// their end stays.
TextChange textChange(QStringView was, QStringView now);
