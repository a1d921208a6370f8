// One recorder per device: the lock, the restore request and its bounded wait.
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Decision = rm::SingleInstance::StartDecision;

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() {
        if (!QCoreApplication::instance())
            app = std::make_unique<QCoreApplication>(argc, nullptr);
    }
    ~SingleInstanceTest() override {
        QFile::remove(rm::SingleInstance::runtimePath(name, ".lock"));
        QLocalServer::removeServer(rm::SingleInstance::runtimePath(name, ".sock"));
    }

    // Parallel test runs use names of their own.
    const QString name = QString("rmtest_%1_%2")
                             .arg(getpid())
                             .arg(::testing::UnitTest::GetInstance()->current_test_info()->name());
    int argc = 0;
    std::unique_ptr<QCoreApplication> app;
};

TEST_F(SingleInstanceTest, FreeLockLetsTheProgramRunAndListen) {
    rm::SingleInstance instance(name, {name});
    EXPECT_EQ(instance.start(), Decision::Run);
    EXPECT_TRUE(instance.holdsLock());
    EXPECT_TRUE(instance.listen());
    EXPECT_TRUE(QFile::exists(instance.serverPath()));
}

TEST_F(SingleInstanceTest, HeldLockWithoutServerIsDeviceInUse) {
    rm::SingleInstance first(name, {name});
    ASSERT_EQ(first.start(), Decision::Run);  // still starting: no server yet
    rm::SingleInstance second(name, {name}, 300ms);
    EXPECT_EQ(second.start(), Decision::DeviceInUse);
    EXPECT_FALSE(second.holdsLock());
    EXPECT_FALSE(second.listen());
}

TEST_F(SingleInstanceTest, RunningProgramAnswersAndIsAskedToComeForward) {
    std::atomic<int> restores{0};
    std::atomic<bool> listening{false};
    std::atomic<bool> stop{false};
    std::unique_ptr<QThread> running(QThread::create([&] {
        rm::SingleInstance first(name, {name});
        QObject::connect(&first, &rm::SingleInstance::restoreRequested, [&] { ++restores; });
        if (first.start() == Decision::Run && first.listen())
            listening = true;
        QEventLoop loop;
        while (!stop)
            loop.processEvents(QEventLoop::AllEvents, 10);
    }));
    running->start();
    while (!listening)
        std::this_thread::sleep_for(5ms);

    rm::SingleInstance second(name, {name});
    EXPECT_EQ(second.start(), Decision::OtherRaised);
    EXPECT_EQ(restores, 1);
    // The lock stays with the running program.
    EXPECT_FALSE(second.holdsLock());
    stop = true;
    running->wait();
}

TEST_F(SingleInstanceTest, SilentProgramIsWaitedForOnlyABoundedTime) {
    rm::SingleInstance first(name, {name});
    ASSERT_EQ(first.start(), Decision::Run);
    // A hung program: its server accepts connections but never answers.
    QLocalServer hung;
    ASSERT_TRUE(hung.listen(first.serverPath()));

    rm::SingleInstance second(name, {name}, 400ms);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(second.start(), Decision::DeviceInUse);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_GE(clock.elapsed(), 350);
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedProgramIsReplaced) {
    // A crashed program leaves its socket file but no lock.
    const QByteArray path = QFile::encodeName(rm::SingleInstance::runtimePath(name, ".sock"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));

    rm::SingleInstance instance(name, {name}, 500ms);
    EXPECT_EQ(instance.start(), Decision::Run);
    EXPECT_TRUE(instance.listen());
}

TEST_F(SingleInstanceTest, LockIsFreeAgainWhenTheProgramEnds) {
    {
        rm::SingleInstance first(name, {name});
        ASSERT_EQ(first.start(), Decision::Run);
        ASSERT_TRUE(first.listen());
    }
    EXPECT_FALSE(QFile::exists(rm::SingleInstance::runtimePath(name, ".sock")));
    rm::SingleInstance next(name, {name}, 300ms);
    EXPECT_EQ(next.start(), Decision::Run);
}

} // namespace
