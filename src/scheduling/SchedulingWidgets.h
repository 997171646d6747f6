#pragma once

class QWidget;

// The "Envio de e-mail" page of the map screen as the staff have always seen
// it: attendance status, dates, owners, subject and message. Nothing enables
// it; it is built so that the tab reads as it always did.
QWidget *buildInertMailPage(QWidget *parent);
