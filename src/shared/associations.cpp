// SPDX-License-Identifier: GPL-3.0-or-later
#include "associations.h"

const std::array<const char*, AssociationCount> AssociationNames = {
    "Nicht zugeordnet",
    "Badischer Schwimm-Verband",
    "Bayerischer Schwimmverband",
    "Berliner Schwimmverband",
    "Landesschwimmverband Brandenburg",
    "Landesschwimmverband Bremen",
    "Hamburger Schwimm-Verband",
    "Hessischer Schwimm-Verband",
    "Schwimmverband Mecklenburg/Vorpommern",
    "Landesschwimmverband Niedersachsen",
    "Schwimmverband Rheinland",
    "Saarl\xE4ndischer Schwimmer-Bund",
    "S\xE4"
    "chsischer Schwimm-Verband",
    "Landesschwimmverband Sachsen-Anhalt",
    "Schleswig-Holsteiner Schwimm-Verband",
    "S\xFC"
    "dwestdeutscher Schwimm-Verband",
    "Th\xFCringer Schwimmverband",
    "Schwimmverband Nordrhein-Westfalen",
    "Schwimmverband W\xFCrttemberg",
    "Landestauchsportverband Brandenburg",
    "Landestauchsportverband Sachsen",
    "Landestauchsportverband Berlin",
    "Landestauchsportverband Mecklenburg-Vorpommern",
    "Hamburger Tauchsportbund",
    "Tauchsport Landesverband Niedersachsen",
    "Tauchsportverband Schleswig-Holstein",
    "Landestauchsportverband Bremen",
    "Landestauchsportverband Sachsen-Anhalt",
    "Tauchsportverband Nordrhein-Westfalen",
    "Landesverband Sporttauchen Rheinland-Pfalz",
    "Hessischer Tauchsportverband",
    "Saarl\xE4ndischer Tauchsportbund",
    "W\xFCrttembergischer Landesverband f\xFCr Tauchsport",
    "Badischer Tauchsportverband",
    "Bayrischer Landestauchsportverband",
    "Landestauchsportverband Th\xFCringen",
    "Westf\xE4lischer Turnerbund",
    "Auswahlmannschaften DSV/LGrp",
};

std::string AssociationName(int index) {
    if (index < 0 || index >= AssociationCount)
        return "(kein Landesverband)";
    return AssociationNames[static_cast<std::size_t>(index)];
}
