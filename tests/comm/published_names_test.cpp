// What the serial port and the signal component publish, by name: every
// property and event of published_names_comm.inc is found in the class's
// property information, of the right kind, with the listed default.
#include "comm/comport.h"
#include "comm/comsignal.h"
#include "support/published_names.h"
#include <gtest/gtest.h>
#include <string>

namespace {

const TNameRow NameRows[] = {
#include "published_names_comm.inc"
};

TEST(PublishedNames, ThePortAndTheSignalPublishEveryListedName) {
    TComPort port(nullptr);
    TComSignal signal(nullptr);
    TObjectCensus census;
    census.Walk(&port);
    census.Walk(&signal);
    EXPECT_EQ(CheckPublishedNames(census, NameRows), "");
}

} // namespace
