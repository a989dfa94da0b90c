#pragma once

#include <array>
#include <stdexcept>

namespace kestrum {

// A table numbered from 1, as outputs, inputs and read-back levels are everywhere in this
// program; a number outside 1..N throws std::out_of_range rather than touching a neighbour.
template <typename T, int N>
class OneBased {
public:
    T& operator[](int n) { return m_items.at(static_cast<std::size_t>(n - 1)); }
    const T& operator[](int n) const { return m_items.at(static_cast<std::size_t>(n - 1)); }
    static constexpr int size() { return N; }

private:
    std::array<T, N> m_items{};
};

// Switching times of the eight outputs: 21 slots each, entry p holding its time of day in slot
// 2p - 1 and its date in slot 2p, slot 21 the daily flag.
template <typename T>
class TimeTable {
public:
    static constexpr int kSlots = 21;
    static constexpr int kOutputs = 8;

    T& operator()(int slot, int output) { return m_slots[index(slot, output)]; }
    const T& operator()(int slot, int output) const { return m_slots[index(slot, output)]; }
    // The number of the settings key that holds a slot: 1..168.
    static int keyNumber(int slot, int output) { return kSlots * (output - 1) + slot; }
    // The slot that settings key number 1..168 holds.
    T& atKeyNumber(int number) { return m_slots[number]; }
    static constexpr int kKeys = kSlots * kOutputs;

private:
    static int index(int slot, int output) {
        if (slot < 1 || slot > kSlots) {
            throw std::out_of_range("time slot number");
        }
        return keyNumber(slot, output);
    }
    OneBased<T, kKeys> m_slots;
};

}  // namespace kestrum
