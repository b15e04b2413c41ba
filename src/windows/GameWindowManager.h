// GameWindowManager - the game's window manager set up with its two notice
// queues: the message queue (MessageNoticeQueue) and the award queue
// (AwardNoticeQueue). The game's world makes it this way, and so does
// everything that stands on the world (the level player, the played
// tests); the manager deletes the queues with itself.
#pragma once

class AwardNoticeQueue;
class MessageNoticeQueue;
class WindowManager;

// A new manager (the caller deletes it) holding a new message queue and a
// new award queue.
WindowManager* CreateGameWindowManager();

// The game manager's queues; null without a manager or when its queues are
// not the game's (a test's fakes).
MessageNoticeQueue* GetMessageNotices();
AwardNoticeQueue* GetAwardNotices();
