// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer store as the tool's commands open it: an unusable store ends the command.
#pragma once

#include <optional>

#include "commands.h"
#include "swimmerstore.h"

// Opens the store to change it (created when missing); raises CliFailure when it is unusable.
TSwimmerStore& OpenStore(std::optional<TSwimmerStore>& store);
// Reading neither creates a store nor needs to write one: a missing store reads as empty.
TSwimmerStore& OpenStoreToRead(std::optional<TSwimmerStore>& store);

// `result`, unless the store's last operation failed: then CliFailure with its problem.
template <typename Result> Result Answered(const TSwimmerStore& store, Result result) {
    if (!store.Problem().isEmpty())
        throw CliFailure(store.Problem().toStdString());
    return result;
}
