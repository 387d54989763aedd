// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "RowMenu.h"

#include "CategoryLists.h"
#include "ValueMenu.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPoint>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

// Items 0 ("無し") and 1 (the separator) of every submenu are fixed; the
// values of the list follow from item 2.
constexpr int FixedItems = 2;

const char16_t *const SubmenuCaptions[CategoryLists::Count]
    = { u"ジャンル１", u"ジャンル２", u"備考", u"その他１", u"その他２" };

// "t0<k>_<item>", made in one piece: a submenu may make thousands of these.
QString itemName(int k, int item)
{
    char name[16] = { 't', '0', char('0' + k), '_' };
    const auto end = std::to_chars(name + 4, name + sizeof name, item).ptr;
    return QString::fromLatin1(name, end - name);
}

// A value is shown as it is: '&' would otherwise mark a mnemonic.
QString captionOf(const QString &value)
{
    if (!value.contains(u'&'))
        return value;
    QString caption = value;
    return caption.replace(u'&', QLatin1String("&&"));
}

} // namespace

RowMenu::RowMenu(const CategoryLists &lists, QWidget *parent, qsizetype itemsPerIdleMoment)
    : QObject(parent)
    , m_lists(lists)
    , m_itemsPerIdleMoment(std::max<qsizetype>(1, itemsPerIdleMoment))
    , m_pop(new QMenu(QStringLiteral("メニュー"), parent))
{
    m_pop->setObjectName(QStringLiteral("pop"));
    m_pop->installEventFilter(this);
    connect(m_pop, &QMenu::aboutToShow, this, [this] { m_fillAfterPaint = true; });
    for (int k = 1; k <= CategoryLists::Count; ++k)
        addSubmenu(k);
    QAction *line3 = m_pop->addSeparator();
    line3->setObjectName(QStringLiteral("line3"));
    QAction *del = m_pop->addAction(QStringLiteral("削除"));
    del->setObjectName(QStringLiteral("del"));
    connect(del, &QAction::triggered, this, &RowMenu::removeChosen);
}

void RowMenu::addSubmenu(int k)
{
    auto *submenu = new ValueMenu(QString::fromUtf16(SubmenuCaptions[k - 1]), m_pop);
    m_pop->addMenu(submenu);
    submenu->setObjectName(QStringLiteral("line%1").arg(6 + k));
    QAction *none = submenu->addAction(QStringLiteral("無し"));
    none->setObjectName(itemName(k, 0));
    none->setData(0);
    QAction *separator = submenu->addSeparator();
    separator->setObjectName(itemName(k, 1));
    separator->setData(1);
    connect(submenu, &QMenu::aboutToShow, this, [this, k] { fillIfStale(k); });
    connect(submenu, &QMenu::triggered, this,
        [this, k](QAction *action) { Q_EMIT categoryChosen(k, action->data().toInt()); });
    m_submenus[size_t(k - 1)] = submenu;
}

// Every press, left ones too, comes here, and a list may hold thousands of
// values: the press only takes the lists as they are (copies that share the
// values), and a submenu's items are made from them once the menu is shown,
// or when the submenu opens, whichever comes first.
void RowMenu::rebuild()
{
    for (int k = 1; k <= CategoryLists::Count; ++k)
        m_atPress[size_t(k - 1)] = m_lists.list(k);
}

// Once the menu is on the screen, the submenus whose lists changed are filled
// and laid out in the idle moments that follow, while the pointer travels to
// a category: opening one then only paints what is already there. Waiting
// for the first paint keeps the menu itself from appearing late.
bool RowMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pop && event->type() == QEvent::Paint && m_fillAfterPaint) {
        m_fillAfterPaint = false;
        QTimer::singleShot(0, this, &RowMenu::fillStaleSubmenus);
    }
    return QObject::eventFilter(watched, event);
}

// One submenu at a time, a slice of its items in each idle moment and its
// layout in the next, so that no moment holds up the menu for long.
void RowMenu::fillStaleSubmenus()
{
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        if (!isStale(k))
            continue;
        if (fillStep(k, m_itemsPerIdleMoment)) {
            QTimer::singleShot(0, this, [this, k] {
                layOut(m_submenus[size_t(k - 1)]);
                QTimer::singleShot(0, this, &RowMenu::fillStaleSubmenus);
            });
        } else {
            QTimer::singleShot(0, this, &RowMenu::fillStaleSubmenus);
        }
        return;
    }
}

// Asking where an item stands lays out the whole submenu, which then opens
// without doing it again.
void RowMenu::layOut(QMenu *submenu)
{
    if (!submenu->isVisible())
        submenu->actionGeometry(submenu->actions().constFirst());
}

// Lists that share their values compare in one step, so opening a submenu
// again after a press that changed nothing costs nothing here.
bool RowMenu::isStale(int k) const
{
    return !(m_filledWith[size_t(k - 1)] == m_atPress[size_t(k - 1)]);
}

void RowMenu::fillIfStale(int k)
{
    if (isStale(k)) {
        while (!fillStep(k, std::numeric_limits<qsizetype>::max())) { }
    }
}

// Brings submenu k closer to the lists of the last press: first the items
// already there take the captions of the first values, and those left over
// go; then the missing items are made, at most maxNew at a time, from the
// last value back. Gives true once the submenu holds every value.
bool RowMenu::fillStep(int k, qsizetype maxNew)
{
    const size_t at = size_t(k - 1);
    const QStringList &values = m_atPress[at];
    Filling &filling = m_filling[at];
    if (filling.kept < 0 || !(filling.values == values))
        startFilling(k, values);
    const qsizetype from = std::max(filling.kept, filling.madeFrom - std::min(maxNew, filling.madeFrom));
    filling.firstMade = addValueItems(m_submenus[at], k, values, from, filling.madeFrom, filling.firstMade);
    filling.madeFrom = from;
    if (filling.madeFrom > filling.kept)
        return false;
    m_filledWith[at] = values;
    filling = Filling();
    return true;
}

// Items that already stand at a position are given the caption of that
// position instead of being destroyed and made again (some may stand where
// an unfinished filling put them).
void RowMenu::startFilling(int k, const QStringList &values)
{
    QList<QAction *> items = m_submenus[size_t(k - 1)]->actions();
    while (items.size() > FixedItems + values.size())
        delete items.takeLast();
    for (qsizetype item = FixedItems; item < items.size(); ++item) {
        QAction *action = items.at(item);
        action->setText(captionOf(values.at(item - FixedItems)));
        if (action->data().toInt() != item) {
            action->setData(int(item));
            action->setObjectName(itemName(k, int(item)));
        }
    }
    Filling &filling = m_filling[size_t(k - 1)];
    filling.values = values;
    filling.kept = items.size() - FixedItems;
    filling.madeFrom = values.size();
    filling.firstMade = nullptr;
}

// The items of values from..to - 1: each is complete before it joins the
// menu, so the menu hears of it once. They go in from the last to the first,
// each before the one made after it (the first of them before the item
// `before`, or at the end): the menu looks that one up from its front,
// where it stands, instead of looking through every item for the end.
// Gives the first item made, or `before` when none was.
QAction *RowMenu::addValueItems(
    QMenu *submenu, int k, const QStringList &values, qsizetype from, qsizetype to, QAction *before)
{
    for (qsizetype value = to - 1; value >= from; --value) {
        const int item = int(FixedItems + value);
        auto *action = new QAction(captionOf(values.at(value)), submenu);
        action->setObjectName(itemName(k, item));
        action->setData(item);
        submenu->insertAction(before, action);
        before = action;
    }
    return before;
}

QMenu *RowMenu::menu() const
{
    return m_pop;
}

void RowMenu::exec(const QPoint &globalPos)
{
    m_pop->exec(globalPos);
}
