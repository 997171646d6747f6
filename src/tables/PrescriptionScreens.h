#pragma once
#include "ui/register/RegisterDef.h"

class ScreenCatalog;

namespace PrescriptionScreens {
// "019 - Texto do receituário baseado em peso."
RegisterDef textoPeso();
// The weight texts' list report has no menu entry of its own.
constexpr int WeightTextListReport = 1019;
} // namespace PrescriptionScreens

// Screens 19 and 20.
void registerPrescriptionScreens(ScreenCatalog &catalog);
