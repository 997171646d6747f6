#pragma once

// Gives the animal address history (024) and the occurrence register (022)
// their dBASE exports: the screens know their statements, the table writer
// lives among the utilities, and only the application joins the two.
void installRegistryExports();
