// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibility.h"

#include "cell_field.h"
#include "design.h"
#include "result_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

namespace {

// A cell's name and description, by its index from 0 in reading order: its place in the field.
QString cellAccessibleName(int index)
{
    return QStringLiteral("Feld %1").arg(index + 1);
}

QString cellAccessibleDescription(int index)
{
    return QStringLiteral("Zeile %1, Spalte %2")
        .arg(index / design::CellsPerRow + 1)
        .arg(index % design::CellsPerRow + 1);
}

// A cell of the field: a table cell by its place, with nothing of its colour.
class CellInterface final : public QAccessibleWidget
{
public:
    explicit CellInterface(Cell *cell) : QAccessibleWidget(cell, QAccessible::Cell) {}

    QString text(QAccessible::Text t) const override
    {
        const int index = static_cast<const Cell *>(widget())->index();
        switch (t) {
        case QAccessible::Name:
            return cellAccessibleName(index);
        case QAccessible::Description:
            return cellAccessibleDescription(index);
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

// A result label reads as its caption and its text ("Ergebnis: Richtig !!!"): a notification
// that announceResult shows anew with each result.
class ResultLabelInterface final : public QAccessibleWidget
{
public:
    explicit ResultLabelInterface(ResultLabel *label)
        : QAccessibleWidget(label, QAccessible::Notification)
    {}

    QString text(QAccessible::Text t) const override
    {
        const auto *label = static_cast<const ResultLabel *>(widget());
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        return label->text().isEmpty() ? label->caption()
                                       : label->caption() + QStringLiteral(": ") + label->text();
    }
};

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("Cell"))
        return new CellInterface(static_cast<Cell *>(object));
    if (className == QLatin1String("ResultLabel"))
        return new ResultLabelInterface(static_cast<ResultLabel *>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(interfaceFor);
}

void announceResult(QWidget &label)
{
    QAccessibleEvent shown(&label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
