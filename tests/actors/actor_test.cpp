#include "actors/actor.h"

#include <gtest/gtest.h>

#include "actor_fixture.h"

namespace {

using actors::TXSprite;

class ActorSprite : public actors_test::ActorFixture {
protected:
    // Steps the sprite until it is killed; returns the number of steps.
    int StepsUntilKilled(TXSprite* sprite, int limit) {
        for (int i = 1; i <= limit; ++i) {
            sprite->Step(1);
            if (sprite->IsDead()) return i;
        }
        return -1;
    }
};

TEST_F(ActorSprite, DeathPlaysItsAnimationOnceAndThenKills) {
    auto* sprite = new TXSprite(root_);
    sprite->DeathImage = &AddImage("Dying", 4, 30, 28);
    sprite->DeathSpeed = 0.125;
    sprite->FramePos = 2;
    sprite->StartDeath();

    EXPECT_TRUE(sprite->IsDying);
    EXPECT_FALSE(sprite->CanCollide);
    EXPECT_EQ(sprite->DeathTicks, 32);
    EXPECT_EQ(sprite->Width, 30);
    EXPECT_EQ(sprite->Height, 28);
    EXPECT_EQ(sprite->FrameCount, 4);
    EXPECT_EQ(sprite->FramePos, 0.0);
    EXPECT_EQ(sprite->FrameSpeed, 0.125);
    EXPECT_EQ(StepsUntilKilled(sprite, 100), 32);
}

TEST_F(ActorSprite, DeathTicksAreTruncated) {
    auto* sprite = new TXSprite(root_);
    sprite->DeathImage = &AddImage("Dying", 5);
    sprite->DeathSpeed = 0.3;  // 16.67 steps
    sprite->StartDeath();
    EXPECT_EQ(sprite->DeathTicks, 16);
}

TEST_F(ActorSprite, PlayOnceCallsItsProcedureOnceWhenTheAnimationHasRun) {
    AddImage("Happy", 4);
    auto* sprite = new TXSprite(root_);
    int calls = 0;
    int calledAtStep = 0;
    sprite->PlayOnce(
        "Happy", 0, [&] { ++calls; }, 0.25);
    EXPECT_EQ(sprite->TimerTicks, 16);
    EXPECT_FALSE(sprite->Looping);
    EXPECT_EQ(sprite->Width, 32);
    for (int i = 1; i <= 40; ++i) {
        sprite->Step(1);
        if (calls == 1 && calledAtStep == 0) calledAtStep = i;
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(calledAtStep, 17);
    EXPECT_FALSE(sprite->TimerActive);
    // The one-shot animation stays on its last frame.
    EXPECT_EQ(sprite->FramePos, 3.0);
}

TEST_F(ActorSprite, PlayOnceDelayIsCountedInFramesOfTheClock) {
    auto* sprite = new TXSprite(root_);
    sprite->FrameCount = 1;
    services_.Interval = 10;
    sprite->PlayOnce(
        "", 1000, [] {}, 0.25);
    EXPECT_EQ(sprite->TimerTicks, 100);
    // An empty name keeps the picture and its speed.
    EXPECT_EQ(sprite->FrameSpeed, 0.0);

    // 25 ms in frames of 10 ms is 2.5: halves go to the even neighbour.
    sprite->PlayOnce(
        "", 25, [] {}, 0.25);
    EXPECT_EQ(sprite->TimerTicks, 2);
    sprite->PlayOnce(
        "", 35, [] {}, 0.25);
    EXPECT_EQ(sprite->TimerTicks, 4);
}

TEST_F(ActorSprite, ASecondPlayOnceReplacesTheFirst) {
    AddImage("Happy", 2);
    auto* sprite = new TXSprite(root_);
    std::string called;
    sprite->PlayOnce(
        "Happy", 0, [&] { called += "first "; }, 0.5);
    sprite->Step(1);
    sprite->PlayOnce(
        "Happy", 0, [&] { called += "second "; }, 1.0);
    for (int i = 0; i < 10; ++i) sprite->Step(1);
    EXPECT_EQ(called, "second ");
}

TEST_F(ActorSprite, WithoutPlayOnceNothingIsCalled) {
    auto* sprite = new TXSprite(root_);
    sprite->TimerTicks = -5;
    for (int i = 0; i < 10; ++i) sprite->Step(1);
    EXPECT_FALSE(sprite->IsDead());
    EXPECT_FALSE(sprite->TimerArmed);
}

TEST_F(ActorSprite, UnknownImageFails) {
    auto* sprite = new TXSprite(root_);
    EXPECT_THROW(sprite->PlayOnce(
                     "Nothing", 0, [] {}, 0.25),
                 formats::GameError);
}

}  // namespace
