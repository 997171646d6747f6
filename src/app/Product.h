#pragma once
#include <QString>

// Texts that name the product and its version on several windows.
namespace Product {

inline QString title() { return QStringLiteral("ZAPO - Sistema de Identificação e Esterilização Animal"); }
inline QString loginWindowTitle() { return QStringLiteral("Prefeitura Municipal - ZAPO"); }
inline QString versionCaption() { return QStringLiteral("Ver.: 14.07.00 (16/04/2024) Homologação"); }
inline QString newVersionCaption() { return QStringLiteral("Ver nova....: 14.06.08 (10/04/2024) Homologação"); }

} // namespace Product
