// The forecast controller without a window: loading, choosing, computing
// and saving, as the window's controls ask for them.

#include "shell/ForecastController.h"

#include "platform/DateTime.h"

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
        Write(File("tavik.ini"), "JO40HC\r\nthree.tle\r\nmodel=sgp4\r\n");
        services_.ProgramFolder = folder_.path();
        services_.DocumentsFolder = folder_.path();
        controller_ = std::make_unique<ForecastController>(services_);
    }
    QString File(const char* name) const { return QDir(folder_.path()).filePath(QString::fromLatin1(name)); }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
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
    void Run()
    {
        Await([this](std::function<void()> done) {
            controller_->RunForecast(*DateTime::FromCalendar(2024, 3, 5, 0, 0, 0),
                                     [done](ForecastController::ForecastJob&) { done(); });
        });
    }

    QTemporaryDir folder_;
    ShellServices services_;
    std::unique_ptr<ForecastController> controller_;
};

TEST_F(ControllerTest, StartUpTakesTheStationTheModelAndTheCatalogueTheSettingsName)
{
    StartUp();
    ASSERT_TRUE(controller_->StationInUse());
    EXPECT_EQ(controller_->StationInUse()->StationLocator, "JO40HC");
    EXPECT_EQ(controller_->Model(), OrbitModel::Sgp4);
    EXPECT_EQ(controller_->Catalogue().CatalogueCount, 3);
    EXPECT_EQ(controller_->TleFilePath(), File("three.tle"));
    EXPECT_FALSE(controller_->IsBusy());
}

TEST_F(ControllerTest, NothingIsComputedWithoutASatelliteOrAStation)
{
    ASSERT_TRUE(controller_->Problem());
    EXPECT_EQ(controller_->Problem()->Kind, MessageKind::Warning);
    StartUp();
    controller_->SelectElementSet(1);
    EXPECT_FALSE(controller_->Problem());
}

// The name and the lists must never disagree: a forecast belongs to the satellite it was computed for.
TEST_F(ControllerTest, AForecastIsShownForTheSatelliteItWasComputedFor)
{
    StartUp();
    controller_->SelectElementSet(1);
    Run();
    ASSERT_TRUE(controller_->Shown());
    EXPECT_EQ(controller_->Shown()->SatName, "TAVSAT 1");
    EXPECT_EQ(controller_->Shown()->Model, OrbitModel::Sgp4);
    EXPECT_TRUE(controller_->ShownIsCurrent());
    ASSERT_TRUE(controller_->ShownDetails());
    controller_->SelectElementSet(2);
    EXPECT_FALSE(controller_->ShownIsCurrent());
    controller_->DropShown();
    EXPECT_EQ(controller_->Shown(), nullptr);
}

TEST_F(ControllerTest, AChosenModelIsRememberedInTheSettingsFile)
{
    StartUp();
    EXPECT_FALSE(controller_->SetModel(OrbitModel::Sgp4));
    EXPECT_TRUE(controller_->SetModel(OrbitModel::Classic));
    EXPECT_EQ(ReadRemembered(File("tavik.ini")).at(QStringLiteral("model")), QStringLiteral("classic"));
}

TEST_F(ControllerTest, SaveListWritesTheFileOrNamesWhyNot)
{
    StartUp();
    controller_->SelectElementSet(1);
    Run();
    ForecastController::ListSaved saved;
    const auto save = [&](const QString& folder) {
        Await([&](std::function<void()> done) {
            controller_->SaveList(true, folder, [&saved, done](const ForecastController::ListSaved& s) {
                saved = s;
                done();
            });
        });
    };
    save(folder_.path());
    EXPECT_EQ(saved.Error, QString());
    EXPECT_EQ(saved.FileName, "TAVSAT 1_passes.txt");
    EXPECT_TRUE(QFileInfo::exists(File("TAVSAT 1_passes.txt")));
    save(File("missing"));
    EXPECT_FALSE(saved.Error.isEmpty());
}

TEST_F(ControllerTest, StationSavedInTheSettingsFileItWasReadFrom)
{
    StartUp();
    const ForecastController::StationSaved saved =
        controller_->SaveStation(QStringLiteral("FN31PR"), File("three.tle"));
    EXPECT_EQ(saved.Error, QString());
    EXPECT_EQ(controller_->StationInUse()->StationLocator, "FN31PR");
    QFile ini(File("tavik.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readLine().startsWith("FN31PR"));
}

} // namespace

namespace {

// The year of light of the satellite chosen, in the model asked for (not the controller's), on the worker.
TEST_F(ControllerTest, YearOfLightTakesTheSatelliteChosenAndTheModelAskedFor)
{
    StartUp();
    controller_->SelectElementSet(2);
    std::shared_ptr<ForecastController::LightJob> job;
    Await([&](std::function<void()> done) {
        controller_->ComputeYearOfLight(*DateTime::FromCalendar(2024, 3, 5), OrbitModel::Classic,
                                        [&job, done](const std::shared_ptr<ForecastController::LightJob>& j) {
                                            job = j;
                                            done();
                                        });
    });
    ASSERT_TRUE(job && job->Year) << (job ? job->Error.toStdString() : std::string());
    EXPECT_EQ(job->Year->SatName, controller_->Current()->SatName);
    EXPECT_EQ(job->Year->Model, OrbitModel::Classic);
    EXPECT_EQ(job->Year->Days.size(), 365u);
    EXPECT_FALSE(controller_->IsBusy());
}

} // namespace
