// Which wheel the tug pushes at, from the host's gear table.
#include <gtest/gtest.h>

#include <initializer_list>

#include "pushback/tug_geometry.h"

namespace tarvosk {
namespace {

struct Leg {
    int slot, type, steers;
    float x, z, tyre;  // metres from the centre of gravity, z aft
};

GearTable Table(std::initializer_list<Leg> legs, int count = kGearSlots) {
    GearTable t;
    t.count = count;
    for (const Leg& l : legs) {
        t.type[l.slot] = l.type;
        t.steers[l.slot] = l.steers;
        t.x[l.slot] = l.x;
        t.z[l.slot] = l.z;
        t.tyreRadius[l.slot] = l.tyre;
    }
    return t;
}

TEST(GearChoice, NoseAndMainComeFromWhatTheAircraftIs) {
    struct Case {
        const char* what;
        GearTable table;
        int nose, main;
    };
    const Case cases[] = {
        {"tricycle airliner: slots 0 and 1 as ever",
         Table({{0, 2, 1, 0, -12.5f, 0.37f},
                {1, 2, 0, -3.8f, 1.5f, 0.6f},
                {2, 2, 0, 3.8f, 1.5f, 0.6f}}),
         0, 1},
        {"mains listed first, right before left: the lower slot on the tie",
         Table({{0, 3, 0, 3.7f, 1.2f, 0.6f},
                {1, 3, 0, -3.7f, 1.2f, 0.6f},
                {2, 3, 1, 0, -15.1f, 0.38f}}),
         2, 0},
        {"taildragger: mains ahead of the CG, steering tail wheel behind it",
         Table({{0, 2, 0, 0.97f, -0.76f, 0.39f},
                {1, 2, 0, -0.97f, -0.76f, 0.39f},
                {2, 2, 1, 0, 4.29f, 0.13f}}),
         -1, 2},
        {"tailsitter: four legs on the CG with tiny feet",
         Table({{0, 2, 0, 0, 0, 0.037f},
                {1, 2, 0, 0, 0, 0.037f},
                {2, 2, 0, 0, 0, 0.037f},
                {3, 2, 0, 0, 0, 0.037f}}),
         -1, -1},
        {"glider: one main wheel ahead of the CG, a tail skid",
         Table({{0, 2, 0, 0, -0.3f, 0.18f}, {1, 1, 0, 0, 5.0f, 0.0f}}), -1, -1},
        {"dummy contact wheels ahead of the nose and skids never count",
         Table({{0, 2, 1, 0, -17.0f, 0.436f},
                {1, 6, 0, -5.75f, 1.1f, 0.47f},
                {2, 6, 0, 5.75f, 1.1f, 0.47f},
                {3, 2, 1, -0.2f, -18.0f, 0.01f},
                {4, 2, 1, 0.2f, -18.0f, 0.01f},
                {5, 1, 1, 0, -19.0f, 0.3f},
                {6, 2, 0, -0.1f, 0.5f, 0.01f}}),
         0, 1},
        {"ten slots with gaps: castoring nose off the centre line in slot 9",
         Table({{1, 1, 0, 0, -20.0f, 0},
                {3, 3, 0, -6, 2, 0.6f},
                {5, 3, 0, 2, 2.5f, 0.6f},
                {7, 3, 0, -2, 2.5f, 0.6f},
                {9, 2, 2, 0.6f, -18.0f, 0.4f}}),
         9, 5},
        {"two steering wheels: the one furthest forward",
         Table({{0, 2, 1, 0, -4.0f, 0.3f}, {1, 2, 1, 0, -9.0f, 0.3f}, {2, 2, 0, 0, 1, 0.3f}}), 1,
         2},
        {"a count shorter than the table hides the slots past it",
         Table({{0, 2, 0, 0, 1.0f, 0.3f}, {4, 2, 1, 0, -9.0f, 0.3f}}, 4), -1, 0},
        {"no wheels at all", Table({}), -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const GearChoice choice = ChooseGears(c.table);
        EXPECT_EQ(choice.nose, c.nose);
        EXPECT_EQ(choice.main, c.main);
    }
}

}  // namespace
}  // namespace tarvosk
