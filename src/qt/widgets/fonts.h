#pragma once
// The designed faces, Verdana and Arial, are not packaged for Debian. Where
// they are missing each is mapped to an installed face of close metrics, so
// the captions fit their designed geometry: Verdana to DejaVu Sans Condensed
// (fonts-dejavu-extra; the plain DejaVu Sans is wider than Verdana and cuts
// "SMS Centre Number"), Arial to Liberation Sans (metric-compatible).

namespace qm
{

// Installs the substitutions once; every window calls it before it sets fonts.
void EnsureFontSubstitutions();

} // namespace qm
