// SPDX-License-Identifier: GPL-3.0-or-later
#include "storeaccess.h"

TSwimmerStore& OpenStore(std::optional<TSwimmerStore>& store) {
    store.emplace();
    if (!store->Available())
        throw CliFailure(store->Problem().toStdString());
    return *store;
}

TSwimmerStore& OpenStoreToRead(std::optional<TSwimmerStore>& store) {
    store.emplace(TSwimmerStore::DefaultFolder(), TSwimmerStore::Access::Read);
    if (!store->Problem().isEmpty())
        throw CliFailure(store->Problem().toStdString());
    return *store;
}
