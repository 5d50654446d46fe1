#include "display/colour_table.h"

namespace merlop {

namespace {

std::array<Rgb, 256> buildTable() {
    std::array<Rgb, 256> t{};
    const Rgb low[16] = {{0, 0, 0},       {255, 0, 0},     {0, 180, 0},     {255, 255, 0},
                         {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                         {192, 220, 192}, {166, 202, 240}, {238, 238, 238}, {221, 221, 221},
                         {204, 204, 204}, {187, 187, 187}, {170, 170, 170}, {153, 153, 153}};
    for (int i = 0; i < 16; ++i) t[i] = low[i];
    for (int i = 16; i < 240; ++i) t[i] = {static_cast<std::uint8_t>(i + 16), 0, 0};
    const Rgb high[16] = {{0, 0, 119},     {0, 0, 102},   {0, 0, 85},      {0, 0, 68},
                          {0, 0, 51},      {0, 0, 34},    {255, 251, 240}, {160, 160, 164},
                          {128, 128, 128}, {255, 0, 0},   {0, 255, 0},     {255, 255, 0},
                          {0, 0, 255},     {255, 0, 255}, {0, 255, 255},   {255, 255, 255}};
    for (int i = 0; i < 16; ++i) t[240 + i] = high[i];
    return t;
}

}  // namespace

const std::array<Rgb, 256>& displayColourTable() {
    static const std::array<Rgb, 256> table = buildTable();
    return table;
}

}  // namespace merlop
