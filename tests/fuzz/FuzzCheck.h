// One input checked against the .ign reader and the identity decoder: shared by the
// libFuzzer target and the bounded driver that CI runs under the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>

// Aborts with a message when a check fails, so both harnesses report it.
void CheckOneInput(const std::uint8_t* data, std::size_t size);
