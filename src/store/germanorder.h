// SPDX-License-Identifier: GPL-3.0-or-later
// Names in the order German readers expect: Ä with A, ß with ss, letter case aside – never by
// character codes. The swimmer window and the command-line tool list swimmers, officials and
// trainers so.
#pragma once

#include <QByteArray>
#include <QCollator>
#include <QStringView>

#include <string>
#include <vector>

QCollator GermanCollator();

// A name's place in German order as bytes: two names' keys compare byte by byte as
// GermanCollator() compares the names, so that the store keeps them and SQLite sorts by them.
QByteArray GermanOrderKey(QStringView name);
// Which order the keys follow: a newer ICU may order some characters otherwise, and keys made
// by another version are to be made again.
QString GermanOrderVersion();

// The order of Windows-1252 names in German order; names alike keep their order. For the short
// lists of officials and trainers, which keep no order keys.
std::vector<std::size_t> GermanNameOrder(const std::vector<std::string>& names);

// By name in German order; people of one name keep their order.
template <typename Person> void SortByGermanName(std::vector<Person>& people) {
    std::vector<std::string> names;
    names.reserve(people.size());
    for (const Person& person : people)
        names.push_back(person.Name);
    std::vector<Person> sorted;
    sorted.reserve(people.size());
    for (const std::size_t index : GermanNameOrder(names))
        sorted.push_back(std::move(people[index]));
    people = std::move(sorted);
}
