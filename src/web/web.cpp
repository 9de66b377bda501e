// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web.h"

#include "accessibility.h"
#include "scale.h"
#include "typing.h"

void prepareForPage()
{
    typeThroughPage();
}

void joinPage(QWidget &window)
{
    fitToPage();
    repaintWholeOnScaleChange();
    bridgeToScreenReaders(window);
}
