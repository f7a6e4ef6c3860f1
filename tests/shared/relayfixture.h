// SPDX-License-Identifier: GPL-3.0-or-later
// An invented host's invitation with relay events, the club's teams entered for it and the
// swimmers to put in them: shared by the relay tests of the core, the exports, the command-line
// tool and the entry dialog.
#pragma once

#include <QByteArray>

#include "companionfile.h"
#include "competitionbuilder.h"
#include "dsv7.h"
#include "invitation.h"

// In 2027: 1 "100m Freistil" for everybody, 2 "4x50m Freistil" mixed and 3 "4x50m Lagen" male
// for the years 2010 to 2016, 4 "4x50m Freistil" a mixed masters relay classed by summed ages
// (100+: 100 to 119, 120+: 120 to 159).
inline QByteArray relayInvitationDsv() {
    return QStringLiteral("FORMAT:Wettkampfdefinitionsliste;7;\n"
                          "VERANSTALTUNG:Staffelfest;Teststadt;25;AUTOMATISCH;\n"
                          "ABSCHNITT:1;08.05.2027;;;09:00;;\n"
                          "WETTKAMPF:1;E;1;;100;F;GL;X;SW;;;\n"
                          "WETTKAMPF:2;E;1;4;50;F;GL;X;SW;;;\n"
                          "WETTKAMPF:3;E;1;4;50;L;GL;M;SW;;;\n"
                          "WETTKAMPF:4;E;1;4;50;F;GL;X;MS;;;\n"
                          "WERTUNG:1;E;1;JG;0;2016;;offen;\n"
                          "WERTUNG:2;E;2;JG;2010;2016;X;Jahrgänge 2010 bis 2016;\n"
                          "WERTUNG:3;E;3;JG;2010;2016;M;Jahrgänge 2010 bis 2016;\n"
                          "WERTUNG:4;E;4;AK;100+;;X;100 bis 119 Jahre;\n"
                          "WERTUNG:4;E;5;AK;120+;;X;120 bis 159 Jahre;\n"
                          "MELDEGELD:Einzelmeldegeld;3,00;;\n"
                          "DATEIENDE\n")
        .toUtf8();
}

struct RelayPerson {
    const char* Name;
    int BirthYear;
    std::uint8_t Sex;
    const char* RegNr;
};
// Invented swimmers: the youngsters 0 to 4, the masters 5 to 8.
inline const RelayPerson RelayPeople[] = {
    {"Ahlborn, Tjark", 2012, 0, "700101"},  {"Brunn, Ole", 2013, 0, "700102"},
    {"Caspari, Wiebke", 2012, 1, "700103"}, {"Dornbusch, Femke", 2014, 1, ""},
    {"Eilers, Jannes", 2011, 0, "700105"},  {"Fehrmann, Gesa", 1985, 1, "700106"},
    {"Godt, Hinnerk", 1979, 0, ""},         {"Harms, Telse", 1990, 1, "700108"},
    {"Iwersen, Momme", 1972, 0, "700109"},
};

inline TRelaySwimmer relaySwimmer(int person) {
    const RelayPerson& p = RelayPeople[person];
    return {ansi(QString::fromUtf8(p.Name)), p.BirthYear, p.Sex, p.RegNr};
}

inline TRelayLineUp lineUp(int event, const QString& team, std::initializer_list<int> people) {
    TRelayLineUp result{event * 1000, ansi(team), {}};
    for (const int person : people)
        result.Swimmers.push_back(relaySwimmer(person));
    return result;
}

// The club's entries: teams "TV Möwe 1" and "TV Möwe 2" in event 2, "TV Möwe 1" in 3, "TV Möwe
// Masters" in 4, and swimmer 0 alone in event 1.
inline TMeldeAustausch relayCompetition() {
    TMeldeAustausch model;
    ImportInvitation(ReadDsv7Invitation(relayInvitationDsv()), model);
    model.ClubName = ansi(QStringLiteral("TV Möwe"));
    model.ClubId = "4321";
    model.Verband = 9;
    model.Fina = "GER";
    model.Person = "Muster, Max";
    model.EMail = "meldung@example.org";
    const auto enter = [&](const QString& name, int year, std::uint8_t sex, int event, int time,
                           const char* regNr) {
        model.SetNomin(model.NominCount() + 1, {ansi(name), year, sex, event * 1000, time, regNr});
    };
    enter(QString::fromUtf8(RelayPeople[0].Name), 2012, 0, 1, 7012, RelayPeople[0].RegNr);
    enter(QStringLiteral("TV Möwe 1"), 2012, 2, 2, 15000, "");
    enter(QStringLiteral("TV Möwe 2"), 2012, 2, 2, NoTime, "");
    enter(QStringLiteral("TV Möwe 1"), 2012, 0, 3, NoTime, "");
    enter(QStringLiteral("TV Möwe Masters"), 1980, 2, 4, NoTime, "");
    return model;
}

// The swimmers above in the swimmer store (a template, so that tests without the store compile
// this header too): store.SaveSwimmer(TSwimmer&).
template <typename Swimmer, typename Store> void storeRelayPeople(Store& store) {
    for (const RelayPerson& person : RelayPeople) {
        Swimmer swimmer;
        swimmer.Name = ansi(QString::fromUtf8(person.Name));
        swimmer.BirthYear = person.BirthYear;
        swimmer.Sex = person.Sex;
        swimmer.RegNr = person.RegNr;
        if (!store.SaveSwimmer(swimmer))
            qFatal("cannot store %s", person.Name);
    }
}
