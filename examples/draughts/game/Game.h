#pragma once

#include <optional>
#include <string>

#include <Rendering/HUDText.h>
#include <Rendering/Light.h>
#include <Rendering/Shader.h>
#include <play/Controller.h>

#include "ClickHook.h"
#include "FrameHook.h"
#include "KeyHook.h"
#include "MoveHook.h"
#include "Table.h"

namespace Core
{
class Object;
class Square;
} // namespace Core

namespace DraughtsGame
{

/// The draughts game on Tabula: two players take turns at one window. A
/// piece slides on a step and hops over each piece it takes, which sinks;
/// when the move has played, the scene turns half a turn to face the player
/// to move. Clicks are taken at any time: the game's position changes at the
/// click, only the picture follows.
/// Every event is printed as one line on the standard output, flushed, so a
/// script can follow the game:
///   "window 0x…"             the X window, once, at the first frame
///   "squares a1:X:Y …"       window pixel of every cell's centre (x from the
///                            left, y from the top), each time the scene has
///                            finished turning and a frame has been drawn
///                            there, after the start and after every move,
///                            undo or new game
///   "facing Black|White"     the scene has finished turning
///   "select c3", "land e5", "move c3-d4", "capture d4", "promote d8",
///   "turn White", "game over Black wins", "illegal d5", "cancel",
///   "new game", "undo c3-d4"  (from Draughts::Controller)
///   "pieces Black 12 White 11" counted on the board after every change
///   "screenshot PATH"        a picture was saved
///   "hover c3", "hover none" the square under the pointer changed (only when
///                            asked for, as it follows every pointer move)
/// Keys: n new game, u undo, h help on/off, c screenshot.
class Game
{
public:
    /// Builds the whole scene and registers everything with the engine.
    /// Screenshots go to `shotDir`.
    Game(const std::string& assetDir, const std::string& shotDir, bool traceHover);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    /// Hands over to the engine; never returns.
    void run();

    void onClick(Core::Square* square);
    void onKey(unsigned char key);
    /// Once per frame, before the engine draws.
    void onFrame();
    /// An animated move has played: the scene turns to the player to move.
    void onMoveFinished(Core::Object* piece, const std::vector<Core::Object*>& captured);

private:
    void flushLog();
    void refresh();
    void reportSquares();
    void saveScreenshot();
    void turnTowardsPlayer();

    Draughts::Controller m_Controller;
    Table m_Table;
    std::string m_ShotDir;
    int m_ShotCount;
    int m_HalfTurns;
    bool m_ShowHelp;
    bool m_FirstFrame;
    bool m_TraceHover;
    const Core::Square* m_Hovered;
    /// The scene's turn changed (or the game began) and has not been
    /// reported settled since.
    bool m_ReportPending;
    /// The previous frame found the scene settled, so the last picture
    /// drawn shows it where it is now.
    bool m_SettledFrame;

    Rendering::HUDText m_TurnText;
    Rendering::HUDText m_CapturedText;
    Rendering::HUDText m_HintText;
    Rendering::HUDText m_HelpText;
    Rendering::Light m_Light;
    Rendering::Shader m_Shader;
    FrameHook m_FrameHook;
    ClickHook m_ClickHook;
    KeyHook m_KeyHook;
    MoveHook m_MoveHook;
};

} // namespace DraughtsGame
