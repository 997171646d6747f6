#include "ui/StatusPanels.h"

#include <QLabel>
#include <QPalette>
#include <QStatusBar>

QStatusBar *makeStatusPanels(QWidget *parent, std::initializer_list<PanelSize> sizes, QLabel **panels, bool painted)
{
    auto *status = new QStatusBar(parent);
    status->setObjectName(QStringLiteral("stbStatus"));
    status->setSizeGripEnabled(false);
    int i = 0;
    for (const PanelSize &size : sizes) {
        auto *panel = new QLabel(status);
        panel->setObjectName(QStringLiteral("stbPainel%1").arg(i));
        panel->setAutoFillBackground(painted);
        if (size.minimumWidth > 0)
            panel->setMinimumWidth(size.minimumWidth);
        status->addWidget(panel, size.stretch);
        panels[i++] = panel;
    }
    return status;
}

void showInPanel(QLabel *panel, const QString &text, const QColor &background)
{
    panel->setText(text);
    QPalette p = panel->palette();
    const QWidget *line = panel->parentWidget() ? panel->parentWidget() : panel;
    p.setColor(QPalette::Window, background.isValid() ? background : line->palette().color(QPalette::Window));
    panel->setPalette(p);
}
