#pragma once
#include <QObject>

class QWidget;

// Makes Enter in the given editors move the focus on, as Tab does.
class EnterAsTab : public QObject {
public:
    explicit EnterAsTab(QObject *parent) : QObject(parent) {}
    void watch(QWidget *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
