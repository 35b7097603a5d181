#pragma once
// The skin pictures the programs load as "PNG" resources: size and frame layout of each.

enum class Strip { Single, Vertical, Horizontal };

struct SkinPicture {
    unsigned id;
    int width;
    int height;
    int frames;
    Strip strip;
};

inline constexpr SkinPicture kSkinPictures[] = {
    {131, 85, 50, 2, Strip::Vertical},    {132, 355, 169, 1, Strip::Single},
    {133, 85, 50, 2, Strip::Vertical},    {134, 75, 44, 2, Strip::Vertical},
    {135, 75, 44, 2, Strip::Vertical},    {136, 75, 25, 3, Strip::Horizontal},
    {137, 11, 33, 3, Strip::Vertical},    {138, 31, 93, 3, Strip::Vertical},
    {139, 85, 50, 2, Strip::Vertical},    {140, 65, 44, 2, Strip::Vertical},
    {142, 136, 198, 9, Strip::Vertical},  {143, 800, 500, 1, Strip::Single},
    {144, 39, 47, 1, Strip::Single},      {145, 818, 47, 1, Strip::Single},
    {146, 40, 60, 3, Strip::Vertical},    {147, 48, 29, 1, Strip::Single},
    {149, 1190, 700, 1, Strip::Single},   {150, 75, 25, 3, Strip::Horizontal},
    {151, 75, 25, 3, Strip::Horizontal},  {152, 24, 72, 3, Strip::Vertical},
    {153, 85, 50, 2, Strip::Vertical},    {154, 65, 44, 2, Strip::Vertical},
    {155, 75, 44, 2, Strip::Vertical},    {156, 60, 42, 2, Strip::Vertical},
    {157, 75, 25, 3, Strip::Horizontal},  {158, 128, 16, 8, Strip::Horizontal},
    {159, 75, 22, 1, Strip::Single},      {160, 75, 22, 1, Strip::Single},
};
