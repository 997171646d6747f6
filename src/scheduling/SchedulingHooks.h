#pragma once
#include <QString>
#include <functional>

class QAction;
class QWidget;

// What the scheduling screens reach outside their own area, installed by
// the application and by the areas that own those pieces.
namespace SchedulingHooks {

// Triggers the main menu's action of an object name ("mnu020"), so that
// shortcuts into other screens pass the menu's permission gate; when there is
// no main menu (a screen on its own), opens catalog number `catalogNumber`
// instead (0: nothing).
void openFromMenu(QWidget *from, const QString &objectName, int catalogNumber);

// Shows a screen as a child window of the frame that holds `near`, or as a
// window of its own when there is no frame. It is freed when closed.
void showChild(QWidget *screen, QWidget *near);

// Previews the prescription of an attendance with its text as the screen
// holds it (unsaved changes included); set by the prescription area.
using PrescriptionPrinter = std::function<void(QWidget *parent, int idAtendimento, const QString &text)>;
void setPrescriptionPrinter(PrescriptionPrinter printer);
const PrescriptionPrinter &prescriptionPrinter();

} // namespace SchedulingHooks
