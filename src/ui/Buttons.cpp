#include "ui/Buttons.h"
#include "ui/FormHelpers.h"
#include "ui/register/FieldBinder.h"

#include <QLabel>
#include <QLineEdit>

QPushButton *commandButton(const QString &caption, const QString &objectName, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAccessibleName(FieldBinder::accessibleCaption(caption));
    return b;
}

SearchBarButtons placeSearchBar(QGridLayout *grid, QWidget *parent, const QString &criterionCaption, QWidget *criterion,
                                QLineEdit *text, const QString &findCaption, const QString &findName,
                                const QString &okCaption)
{
    grid->addWidget(FormHelpers::caption(criterionCaption, criterion, parent), 0, 0);
    grid->addWidget(criterion, 1, 0);
    grid->addWidget(FormHelpers::caption(QStringLiteral("Texto:"), text, parent), 0, 1);
    grid->addWidget(text, 1, 1);
    const SearchBarButtons b{commandButton(findCaption, findName, parent), commandButton(okCaption, QStringLiteral("bmpOK"), parent)};
    grid->addWidget(b.find, 1, 2);
    grid->addWidget(b.ok, 1, 3);
    grid->setColumnStretch(1, 1);
    // The clerk opens a search to type: the window takes the keys in "Texto:"
    // from the start, not in the criterion list that comes first in the tab order.
    text->setFocus();
    return b;
}
