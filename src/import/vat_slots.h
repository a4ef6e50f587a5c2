#pragma once
// The source slots of an imported document: up to four of the five VAT groups of the
// management document, with distinct rates, taken in the order A, B, C, D.
#include <array>

// One VAT group of the source document (a missing value is 0).
struct VatGroup {
    double taxable = 0;
    double vat = 0;
    double rate = 0;
};

// A slot holds its values in 32 bits; an unfilled slot is all zero.
struct VatSlot {
    float taxable = 0;
    float vat = 0;
    float rate = 0;
};

// Slot k (A = 0 .. D = 3) takes the first group from group k+1 to 5 that has VAT (a VAT
// amount above 0) and whose rate differs from the rates of the slots before it.
// Groups without VAT never fill a slot.
std::array<VatSlot, 4> pickVatSlots(const std::array<VatGroup, 5> &groups);
