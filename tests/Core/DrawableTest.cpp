#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Render.h>
#include <Rendering/Texture.h>

#include "support/TestBoard.h"

using namespace Core;

TEST(DrawableTest, EveryDrawableIsRegisteredUnderItsOwnNameUntilDestroyed)
{
    unsigned int name;
    {
        Object* piece = new Object(Object::ObjectAlignment(), "");
        Square square(TabulaTest::cellCoords(0, 0, 1, 1), {piece});
        Board board(Vec2<unsigned int>(1, 1), {&square});
        Object copy(*piece);
        for (const Drawable* drawable : std::initializer_list<const Drawable*>{piece, &square, &board, &copy})
            EXPECT_EQ(Rendering::Render::instance()->getDrawable(drawable->getPickingName()), drawable);
        name = copy.getPickingName();
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
    source.setTexture("no-such-picture.png");
    ASSERT_TRUE(source.hasTexture());

    Object copy(source);
    EXPECT_NE(copy.getPickingName(), source.getPickingName());
    EXPECT_EQ(copy.getColor(), source.getColor());
    EXPECT_EQ(copy.getTexture(), source.getTexture());
    EXPECT_EQ(copy.getMeta("owner"), "");
}
