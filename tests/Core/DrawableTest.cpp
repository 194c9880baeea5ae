#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>

using namespace Core;

namespace
{
Square::Coords unitCoords(unsigned int x, unsigned int y)
{
    Square::Coords c;
    c.m_Corners[0] = Vec2<unsigned int>(x, y);
    c.m_Corners[1] = Vec2<unsigned int>(x + 1, y);
    c.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
    c.m_Corners[3] = Vec2<unsigned int>(x, y + 1);
    return c;
}
} // namespace

TEST(DrawableTest, PickingNamesFollowConstructionOrderAcrossClasses)
{
    const unsigned int first = Drawable::getNextPickingName() + 1;
    Object* piece = new Object(Object::ObjectAlignment(), "");
    Square square(unitCoords(0, 0), {piece});
    Board board(Vec2<unsigned int>(1, 1), {&square});
    Object copy(*piece);
    EXPECT_EQ(piece->getPickingName(), first);
    EXPECT_EQ(square.getPickingName(), first + 1);
    EXPECT_EQ(board.getPickingName(), first + 2);
    EXPECT_EQ(copy.getPickingName(), first + 3);

    Rendering::Render* render = Rendering::Render::instance();
    EXPECT_EQ(render->getDrawable(first), piece);
    EXPECT_EQ(render->getDrawable(first + 1), &square);
    EXPECT_EQ(render->getDrawable(first + 2), &board);
    EXPECT_EQ(render->getDrawable(first + 3), &copy);
    EXPECT_EQ(board.getClassName(), "BOARD");
    EXPECT_EQ(square.getClassName(), "SQUARE");
    EXPECT_EQ(piece->getClassName(), "OBJECT");
}

TEST(DrawableTest, DestroyedDrawablesLeaveTheRegistry)
{
    unsigned int name;
    {
        Object piece(Object::ObjectAlignment(), "");
        name = piece.getPickingName();
        ASSERT_EQ(Rendering::Render::instance()->getDrawable(name), &piece);
    }
    EXPECT_EQ(Rendering::Render::instance()->getDrawable(name), nullptr);

    // A drawable that took another's name leaves that registration alone.
    struct Renamable : Object
    {
        Renamable() : Object(Object::ObjectAlignment(), "") {}
        void rename(unsigned int name) { m_PickingName = name; }
    };
    Object owner(Object::ObjectAlignment(), "");
    Renamable impostor;
    const unsigned int own = impostor.getPickingName();
    impostor.rename(owner.getPickingName());
    Rendering::Render::instance()->popDrawable(&impostor);
    EXPECT_EQ(Rendering::Render::instance()->getDrawable(owner.getPickingName()), &owner);
    impostor.rename(own);
}

TEST(DrawableTest, CopiesShareColourAndTextureButNotMetadata)
{
    Object source(Object::ObjectAlignment(), "");
    source.setColor(Vec4<double>(0.2, 0.4, 0.6, 0.8));
    Meta<std::string> owner("owner", "white");
    Meta<std::string> shadow("owner", "black");
    source.addMeta(&owner);
    source.addMeta(&shadow);
    EXPECT_EQ(source.getMeta("owner"), "white");
    EXPECT_EQ(source.getMeta("Owner"), "");
    source.setTexture("no-such-picture.png");
    ASSERT_TRUE(source.hasTexture());

    Object copy(source);
    EXPECT_NE(copy.getPickingName(), source.getPickingName());
    EXPECT_EQ(copy.getColor(), source.getColor());
    EXPECT_EQ(copy.getTexture(), source.getTexture());
    EXPECT_EQ(copy.getMeta("owner"), "");

    // Replacing the texture on one leaves the other's intact.
    Rendering::Texture* shared = source.getTexture();
    source.removeTexture();
    EXPECT_FALSE(source.hasTexture());
    EXPECT_EQ(copy.getTexture(), shared);
    copy.setTexture("other.png");
    ASSERT_TRUE(copy.hasTexture());
    EXPECT_EQ(copy.getTexture()->getFileName(), "other.png");
}
