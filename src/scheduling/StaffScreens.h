#pragma once

class ScreenCatalog;

// The professionals (007) and the private attendances (008).
void registerStaffScreens(ScreenCatalog &catalog);
