// The forecast controller without a window, where the window's own tests do not reach it: the refusal before any
// load and the station saved in the settings file the start read.

#include "shell/ForecastController.h"

#include <gtest/gtest.h>

#include <QtTest>

#include <functional>
#include <memory>

namespace {

using namespace tavik;
using namespace tavik::shell;
using LoadJob = ForecastController::LoadJob;

QString TestData(const char* name) { return QStringLiteral(TAVIK_TEST_DATA "/") + QString::fromLatin1(name); }

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(QFile::copy(TestData("three.tle"), File("three.tle")));
        QFile ini(File("tavik.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("JO40HC\r\nthree.tle\r\nmodel=sgp4\r\n");
        services_.ProgramFolder = folder_.path();
        services_.DocumentsFolder = folder_.path();
        controller_ = std::make_unique<ForecastController>(services_);
    }
    QString File(const char* name) const { return QDir(folder_.path()).filePath(QString::fromLatin1(name)); }
    // Runs a job to its end on the event loop, as the window does.
    void Await(const std::function<void(std::function<void()>)>& start)
    {
        bool done = false;
        start([this, &done] {
            controller_->SetBusy(false);
            done = true;
        });
        ASSERT_TRUE(QTest::qWaitFor([&done] { return done; }, 60000));
    }
    // The start-up load: the settings file beside the program and the TLE file it names.
    void StartUp()
    {
        auto job = std::make_shared<LoadJob>();
        job->StartUp = true;
        job->ProgramFolder = folder_.path().toStdString();
        Await([&](std::function<void()> done) { controller_->Load(job, std::move(done)); });
        controller_->TakeSettings(*job);
        ASSERT_TRUE(controller_->TakeCatalogue(*job));
    }

    QTemporaryDir folder_;
    ShellServices services_;
    std::unique_ptr<ForecastController> controller_;
};

TEST_F(ControllerTest, NothingIsComputedWithoutASatelliteOrAStation)
{
    ASSERT_TRUE(controller_->Problem());
    EXPECT_EQ(controller_->Problem()->Kind, MessageKind::Warning);
}

TEST_F(ControllerTest, StationSavedInTheSettingsFileItWasReadFrom)
{
    StartUp();
    const ForecastController::StationSaved saved =
        controller_->SaveStation(QStringLiteral("FN31PR"), File("three.tle"));
    EXPECT_EQ(saved.Error, QString());
    QFile ini(File("tavik.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readLine().startsWith("FN31PR"));
}

} // namespace
