// The board and evaluation layers are built twice: once for the engine's
// one position (the console, xboard, and the fixed search), and once inside
// the namespace `threaded`, where every table a search writes is kept per
// thread, for the play search's threads. The two builds share no state; the
// play search receives its root position as a PositionSnapshot.
#pragma once

#ifdef ROTOR_THREADED
#define ROTOR_BOARD_NAMESPACE_BEGIN namespace threaded {
#define ROTOR_BOARD_NAMESPACE_END }
#define ROTOR_THREAD_LOCAL thread_local
#else
#define ROTOR_BOARD_NAMESPACE_BEGIN
#define ROTOR_BOARD_NAMESPACE_END
#define ROTOR_THREAD_LOCAL
#endif
