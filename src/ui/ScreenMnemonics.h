#pragma once

class QMdiArea;

// The screens live inside the main window, so a screen's Alt key ("&Agendar
// novo atendimento...", "&Cancelar", a label's "&Nome:") and the menu bar's
// ("&Ajuda", "&Cadastros") are shortcuts of one window: Qt then calls them
// ambiguous and opens the menu on one press and only focuses the button on
// the next. The clerk working in a screen means the screen: while a screen
// is active, an Alt key both claim acts in the screen (clicks the button,
// ticks the box, moves to the tab or the label's field); a key only the menu
// bar has still opens its menu.
namespace ScreenMnemonics {
void install(QMdiArea *area);
}
