// A small document for host tests and the fixture that opens it: one spread
// with one layer holding two text frames ("alpha", "beta"), an empty graphic
// frame ("empty") and a rotated text frame ("tilted"); the swatches Red
// (RGB), Teal (CMYK) and Sand (Lab). Tear-down shuts plug-ins down and closes
// every document, so each test starts from a clean host.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/core/document.h"
#include "host/core/model.h"

namespace hosttest {

hostcore::DocModel MakeTestModel();
// The UID of the frame with that name (kInvalidUID when there is none).
UID FrameNamed(const hostcore::DocModel& m, const std::string& name);
UID StoryOf(const hostcore::DocModel& m, UID frame);
UID SwatchNamed(const hostcore::DocModel& m, const std::string& name);
std::string StoryText(const hostcore::DocModel& m, UID frame);
// A PNG file of the given size (solid grey).
std::string WritePng(const std::string& path, int width, int height);

class HostTest : public ::testing::Test {
  public:
    void SetUp() override;
    void TearDown() override;
    UID Frame(const std::string& name) const { return FrameNamed(doc->Model(), name); }

    hostcore::Document* doc = nullptr;
};

}  // namespace hosttest
