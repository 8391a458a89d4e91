#include "session/PumpedGuiQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace zorvi {
namespace {

TEST(PumpedGuiQueue, TasksFromManyThreadsRunOnThePumpingThreadInPostingOrder) {
  constexpr int THREADS = 4;
  constexpr int TASKS = 2000;
  PumpedGuiQueue gui;
  std::vector<std::vector<int>> ranPerThread(THREADS);
  int wrongThread = 0;
  const std::thread::id pumping = std::this_thread::get_id();
  std::vector<std::thread> posters;
  for (int poster = 0; poster < THREADS; ++poster) {
    posters.emplace_back([&, poster] {
      for (int task = 0; task < TASKS; ++task) {
        gui.post([&, poster, task] {
          ranPerThread[poster].push_back(task);
          wrongThread += std::this_thread::get_id() == pumping ? 0 : 1;
        });
      }
    });
  }
  const auto allRan = [&] {
    std::size_t ran = 0;
    for (const auto& tasks : ranPerThread) {
      ran += tasks.size();
    }
    return ran == THREADS * TASKS;
  };
  EXPECT_TRUE(gui.runUntil(allRan, std::chrono::seconds(10)));
  for (std::thread& poster : posters) {
    poster.join();
  }
  EXPECT_EQ(wrongThread, 0);
  for (const auto& tasks : ranPerThread) {
    ASSERT_EQ(tasks.size(), std::size_t{TASKS});
    for (int task = 0; task < TASKS; ++task) {
      ASSERT_EQ(tasks[static_cast<std::size_t>(task)], task);
    }
  }
}

TEST(PumpedGuiQueue, ATaskThatPumpsRunsTheLaterTasksInsideItInOrder) {
  PumpedGuiQueue gui;
  std::vector<std::string> ran;
  gui.post([&] {
    ran.push_back("waiting starts");
    gui.post([&] { ran.push_back("posted while waiting"); });
    gui.runPending();
    ran.push_back("waiting ends");
  });
  gui.post([&] { ran.push_back("second"); });
  gui.post([&] { ran.push_back("third"); });
  gui.runPending();
  EXPECT_EQ(ran, (std::vector<std::string>{"waiting starts", "second", "third", "posted while waiting", "waiting ends"}));
}

TEST(PumpedGuiQueue, RunUntilWakesForAPostAndGivesUpAtItsTimeout) {
  PumpedGuiQueue gui;
  bool done = false;
  std::thread poster([&] { gui.post([&] { done = true; }); });
  EXPECT_TRUE(gui.runUntil([&] { return done; }, std::chrono::seconds(10)));
  poster.join();
  EXPECT_FALSE(gui.runUntil([] { return false; }, std::chrono::milliseconds(20)));
}

}  // namespace
}  // namespace zorvi
