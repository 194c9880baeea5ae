#include <gtest/gtest.h>

#include <Core/Object.h>
#include <Core/Square.h>

using namespace Core;

namespace
{
Square::Coords coords(std::initializer_list<std::pair<unsigned int, unsigned int>> corners)
{
    Square::Coords c;
    int i = 0;
    for (const auto& corner : corners)
        c.m_Corners[i++] = Vec2<unsigned int>(corner.first, corner.second);
    return c;
}

// A piece that reports its destruction.
class CountedObject : public Object
{
public:
    explicit CountedObject(int& deaths) : Object(ObjectAlignment(), ""), m_Deaths(deaths) {}
    ~CountedObject() override { ++m_Deaths; }

private:
    int& m_Deaths;
};
} // namespace

TEST(SquareTest, ExtentsDoNotDependOnCornerOrder)
{
    Square a(coords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {});
    Square b(coords({{1, 1}, {0, 1}, {1, 0}, {0, 0}}), {});
    for (Square* s : {&a, &b})
    {
        EXPECT_EQ(s->getSize(), Vec2<unsigned int>(1, 1));
        EXPECT_EQ(s->getLower(), Vec2<unsigned int>(0, 0));
        EXPECT_EQ(s->getUpper(), Vec2<unsigned int>(1, 1));
    }
    a.setCoords(coords({{2, 3}, {4, 3}, {4, 6}, {2, 6}}));
    EXPECT_EQ(a.getSize(), Vec2<unsigned int>(2, 3));
    EXPECT_EQ(a.getLower(), Vec2<unsigned int>(2, 3));
    EXPECT_EQ(a.getUpper(), Vec2<unsigned int>(4, 6));
}

TEST(SquareTest, StackOrderParentsAndOwnership)
{
    int deaths = 0;
    Object* popped = nullptr;
    {
        Object* first = new CountedObject(deaths);
        Square square(coords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {first});
        EXPECT_EQ(first->getParentSquare(), &square);
        Object* second = new CountedObject(deaths);
        Object* third = new CountedObject(deaths);
        square.pushObject(second);
        square.pushObject(third);
        EXPECT_EQ(third->getParentSquare(), &square);

        EXPECT_TRUE(square.popObject(second));
        EXPECT_EQ(square.getObjects(), (std::vector<Object*>{first, third}));
        EXPECT_EQ(second->getParentSquare(), nullptr);
        EXPECT_FALSE(square.popObject(second));
        popped = second;
    }
    // The square deleted the two pieces it still held, not the popped one.
    EXPECT_EQ(deaths, 2);
    delete popped;
    EXPECT_EQ(deaths, 3);
}

TEST(SquareTest, CopiesShareTheirPiecesWithoutDeletingThemTwice)
{
    int deaths = 0;
    Object* piece = new CountedObject(deaths);
    auto* original = new Square(coords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {piece});
    auto* copy = new Square(*original);
    EXPECT_EQ(copy->getObjects(), original->getObjects());
    delete original;
    EXPECT_EQ(deaths, 0);
    // The piece's square is gone; it no longer names it.
    EXPECT_EQ(piece->getParentSquare(), nullptr);
    delete copy;
    EXPECT_EQ(deaths, 1);
}

TEST(SquareTest, BoundsFlagReachesEveryPiece)
{
    Object* a = new Object(Object::ObjectAlignment(), "");
    Object* b = new Object(Object::ObjectAlignment(Object::TOP, Object::LEFT), "");
    Square square(coords({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), {a, b});
    square.setDrawObjectsBounds(true);
    EXPECT_TRUE(a->getDrawBound());
    EXPECT_TRUE(b->getDrawBound());
}
