#pragma once

// The sort of a list's rows by name: collation keys of every name, sorted on
// all cores. Rows with equal names keep their order.

#include "core/sort_collator.h"
#include "core/text_store.h"

// The order of the rows by the text of their first column (the row of index
// i first standing at order[i]); empty when they are in order already.
RowOrder OrderByName(const TextStore &rows, const SortCollator &collator);
