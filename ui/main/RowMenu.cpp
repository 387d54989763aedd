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

#include <charconv>

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

RowMenu::RowMenu(const CategoryLists &lists, QWidget *parent)
    : QObject(parent)
    , m_lists(lists)
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
// in the first idle moment, while the pointer travels to a category: opening
// one then only lays out and paints what is already there. Waiting for the
// first paint keeps the menu itself from appearing late.
bool RowMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pop && event->type() == QEvent::Paint && m_fillAfterPaint) {
        m_fillAfterPaint = false;
        QTimer::singleShot(0, this, &RowMenu::fillStaleSubmenus);
    }
    return QObject::eventFilter(watched, event);
}

void RowMenu::fillStaleSubmenus()
{
    for (int k = 1; k <= CategoryLists::Count; ++k) {
        if (fillIfStale(k))
            QTimer::singleShot(
                0, m_submenus[size_t(k - 1)], [submenu = m_submenus[size_t(k - 1)]] { layOut(submenu); });
    }
}

// Asking where an item stands lays out the whole submenu, which then opens
// without doing it again; done in an idle moment of its own.
void RowMenu::layOut(QMenu *submenu)
{
    if (!submenu->isVisible())
        submenu->actionGeometry(submenu->actions().constFirst());
}

// Lists that share their values compare in one step, so opening a submenu
// again after a press that changed nothing costs nothing here.
bool RowMenu::fillIfStale(int k)
{
    const size_t at = size_t(k - 1);
    if (m_filledWith[at] == m_atPress[at])
        return false;
    fillSubmenu(k, m_atPress[at]);
    m_filledWith[at] = m_atPress[at];
    return true;
}

// Items 2.. end up captioned with the values, in list order. Items that
// already stand at a position are given the caption of that position instead
// of being destroyed and made again.
void RowMenu::fillSubmenu(int k, const QStringList &values)
{
    QMenu *submenu = m_submenus[size_t(k - 1)];
    QList<QAction *> items = submenu->actions();
    while (items.size() > FixedItems + values.size())
        delete items.takeLast();
    for (qsizetype item = FixedItems; item < items.size(); ++item)
        items.at(item)->setText(captionOf(values.at(item - FixedItems)));
    addValueItems(submenu, k, values, items.size());
}

// Items from..: each is complete before it joins the menu, so the menu hears
// of it once. They go in from the last to the first, each before the one made
// after it: the menu looks that one up from its front, where it stands,
// instead of looking through every item for the end.
void RowMenu::addValueItems(QMenu *submenu, int k, const QStringList &values, qsizetype from)
{
    QAction *before = nullptr;
    for (qsizetype item = FixedItems + values.size() - 1; item >= from; --item) {
        auto *action = new QAction(captionOf(values.at(item - FixedItems)), submenu);
        action->setObjectName(itemName(k, int(item)));
        action->setData(int(item));
        submenu->insertAction(before, action);
        before = action;
    }
}

QMenu *RowMenu::menu() const
{
    return m_pop;
}

void RowMenu::exec(const QPoint &globalPos)
{
    m_pop->exec(globalPos);
}
