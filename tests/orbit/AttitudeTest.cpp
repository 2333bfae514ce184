// The attitude's one text form: read and written the same way everywhere.
#include "orbit/Attitude.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(Attitude, ReadsEachFormAndNamesItBack)
{
    const struct {
        const char* Text;
        AttitudeKind Kind;
        const char* Name;
    } rows[] = {
        {"12.5,-3", AttitudeKind::Plane, "12.5,-3"},
        {"-0,90", AttitudeKind::Plane, "0,90"},
        {"-360,-90", AttitudeKind::Plane, "-360,-90"},
        {"sun", AttitudeKind::Sun, "sun"},
        {"nadir", AttitudeKind::Nadir, "nadir"},
        {"orbit-normal", AttitudeKind::OrbitNormal, "orbit-normal"},
        {"velocity", AttitudeKind::Velocity, "velocity"},
        {"inertial:120,-20.25", AttitudeKind::Inertial, "inertial:120,-20.25"},
        {"inertial:360,90", AttitudeKind::Inertial, "inertial:360,90"},
    };
    for (const auto& row : rows) {
        const Attitude a = ParseAttitude(row.Text);
        EXPECT_EQ(a.Kind, row.Kind) << row.Text;
        EXPECT_EQ(AttitudeName(a), row.Name) << row.Text;
    }
}

TEST(Attitude, RefusesOtherTextNamingItAndTheFormsTaken)
{
    const char* bad[] = {"",          "Sun",           "0",           "0,",          ",0",           "0,0,0",
                         "1e2,0",     "+1,0",          "0,90.5",      "361,0",       "nan,0",        "inertial:",
                         "inertial:-1,0", "inertial:0,91", "inertial:sun"};
    for (const char* text : bad) {
        try {
            ParseAttitude(text);
            ADD_FAILURE() << '"' << text << "\" was taken";
        } catch (const InputError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find('"' + std::string(text) + '"'), std::string::npos) << message;
            EXPECT_NE(message.find("orbit-normal"), std::string::npos) << message;
        }
    }
}

} // namespace
} // namespace tavik
