#pragma once

// Catalogues made for the benchmarks: names as a large German food table has
// them (a food, its kind, how it is made, a pack size), with umlauts and ß,
// values with decimal commas, all names different, in shuffled order.

#include "catalogue/food_list_file.h"

#include <QStringList>

QStringList CatalogueHeaders();

// The same count and seed give the same foods in the same order.
QList<FoodRecord> MakeFoods(int count, unsigned seed = 2024);

// A fingerprint of the rows that does not depend on their order, to check
// that a load kept every food and every value.
quint64 FoodsFingerprint(const QList<FoodRecord> &foods);

// Writes the foods into fileName through the program's own writer, so the
// file is in the writer's format: Windows-1252, CR LF, header line.
void WriteCatalogueFile(const QString &fileName, const QList<FoodRecord> &foods);
