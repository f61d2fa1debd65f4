// Array: constructor forms, length, the element methods with every argument
// form, and the orderings of sort and sortOn with their flags. Expected texts
// follow the language reference's descriptions and examples.
#include "ScriptPhrases.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

using namespace phrase;

enum : int { CaseInsensitive = 1, Descending = 2, UniqueSort = 4, IndexedArray = 8, Numeric = 16 };

Expr Numbers(std::initializer_list<double> ns)
{
    std::vector<Expr> items;
    for (double n : ns)
        items.push_back(N(n));
    return Array(items);
}

Expr Strings(std::initializer_list<const char*> ss)
{
    std::vector<Expr> items;
    for (const char* s : ss)
        items.push_back(S(s));
    return Array(items);
}

TEST(BuiltinArrays, ConstructorFormsLengthAndHoles)
{
    Asm a;
    trace(a, New("Array", {N(3)}));
    trace(a, Member(New("Array", {N(3)}), "length"));
    trace(a, Call("Array", {N(1), N(2)}));
    trace(a, Member(New("Array", {S("3")}), "length"));
    trace(a, Member(Var("Array"), "NUMERIC"));
    assign(a, "x", Numbers({1, 2, 3, 4}));
    setMember(a, Var("x"), "length", N(2));
    trace(a, Var("x"));
    setMember(a, Var("x"), "length", N(4));
    trace(a, Var("x"));
    setMember(a, Var("x"), "6", S("g"));
    trace(a, Member(Var("x"), "length"));
    trace(a, Method(Var("x"), "join", {S("-")}));
    EXPECT_EQ(run(a, 8), lines({"undefined,undefined,undefined", "3", "1,2", "1", "16", "1,2", "1,2,undefined,undefined",
                                "7", "1-2-undefined-undefined-undefined-undefined-g"}));
    // Before version 7 undefined elements join as empty text.
    EXPECT_EQ(run(a, 6), lines({",,", "3", "1,2", "1", "16", "1,2", "1,2,,", "7", "1-2-----g"}));
}

TEST(BuiltinArrays, ElementMethodsWithEveryArgumentForm)
{
    Asm a;
    assign(a, "x", Numbers({1}));
    trace(a, Method(Var("x"), "push", {N(2), N(3)}));
    trace(a, Method(Var("x"), "unshift", {N(0)}));
    trace(a, Var("x"));
    trace(a, Method(Var("x"), "shift"));
    trace(a, Method(Var("x"), "pop"));
    trace(a, Method(Array({}), "pop"));
    trace(a, Method(Var("x"), "push"));
    // splice: remove, replace from the end, insert, remove to the end, nothing.
    assign(a, "s", Strings({"a", "b", "c", "d", "e"}));
    trace(a, Method(Var("s"), "splice", {N(1), N(2)}));
    trace(a, Var("s"));
    trace(a, Method(Var("s"), "splice", {N(-1), N(1), S("x"), S("y")}));
    trace(a, Var("s"));
    trace(a, Member(Method(Var("s"), "splice", {N(1), N(0), S("z")}), "length"));
    trace(a, Var("s"));
    trace(a, Method(Var("s"), "splice", {N(3)}));
    trace(a, Method(Var("s"), "splice", {N(1), N(-2)}));
    trace(a, Method(Var("s"), "splice"));
    trace(a, Var("s"));
    // slice, concat (one level flattened), join, reverse
    assign(a, "n", Numbers({1, 2, 3, 4}));
    trace(a, Method(Var("n"), "slice", {N(1), N(-1)}));
    trace(a, Method(Var("n"), "slice", {N(-2)}));
    trace(a, Method(Var("n"), "slice", {N(3), N(1)}));
    trace(a, Method(Var("n"), "slice"));
    trace(a, Member(Method(Numbers({1}), "concat", {N(2), Array({N(3), Numbers({4, 5})})}), "length"));
    trace(a, Method(Numbers({1}), "concat", {N(2), Array({N(3), Numbers({4, 5})})}));
    trace(a, Method(Array({N(1), Numbers({2, 3}), Undef(), Null()}), "join", {S("-")}));
    trace(a, Method(Numbers({1, 2}), "join"));
    trace(a, Method(Numbers({1, 2, 3}), "reverse"));
    trace(a, Var("n"));
    EXPECT_EQ(run(a), lines({"3", "4", "0,1,2,3", "0", "3", "undefined", "2", "b,c", "a,d,e", "e", "a,d,x,y", "0",
                             "a,z,d,x,y", "x,y", "", "undefined", "a,z,d", "2,3", "3,4", "", "1,2,3,4", "4",
                             "1,2,3,4,5", "1-2,3-undefined-null", "1,2", "3,2,1", "1,2,3,4"}));
}

TEST(BuiltinArrays, SortOrdersAndFlags)
{
    Asm descendingNumbers; // function (x, y) { return y - x; }
    ret(descendingNumbers, Sub(Var("y"), Var("x")));
    Asm meddler; // function (x, y) { arr.length = 0; return x - y; }
    setMember(meddler, Var("arr"), "length", N(0));
    ret(meddler, Sub(Var("x"), Var("y")));

    Asm a;
    trace(a, Method(Array({N(10), N(9), N(1), S("b"), S("B"), S("a")}), "sort"));
    trace(a, Method(Numbers({10, 9, 1}), "sort", {N(Numeric)}));
    trace(a, Method(Numbers({10, 9, 1}), "sort", {N(Numeric | Descending)}));
    trace(a, Method(Strings({"b", "A", "c"}), "sort", {N(CaseInsensitive)}));
    trace(a, Method(Strings({"b", "A", "c"}), "sort", {N(CaseInsensitive | Descending)}));
    assign(a, "u", Strings({"a", "b", "a"}));
    trace(a, Method(Var("u"), "sort", {N(UniqueSort)}));
    trace(a, Var("u"));
    trace(a, Method(Strings({"b", "c", "a"}), "sort", {N(UniqueSort)}));
    assign(a, "i", Strings({"c", "a", "b"}));
    trace(a, Method(Var("i"), "sort", {N(IndexedArray)}));
    trace(a, Var("i"));
    trace(a, Method(Numbers({10, 2, 1}), "sort", {N(IndexedArray | Numeric | Descending)}));
    trace(a, Method(Numbers({3, 1, 2}), "sort", {Function({"x", "y"}, descendingNumbers)}));
    trace(a, Method(Numbers({3, 1, 2}), "sort", {Function({"x", "y"}, descendingNumbers), N(Descending)}));
    // A compare function that empties the array does not upset the sort.
    assign(a, "arr", Numbers({3, 1, 2}));
    trace(a, Method(Var("arr"), "sort", {Function({"x", "y"}, meddler)}));
    EXPECT_EQ(run(a), lines({"1,10,9,B,a,b", "1,9,10", "10,9,1", "A,b,c", "c,b,A", "0", "a,b,a", "a,b,c", "1,2,0",
                             "c,a,b", "0,1,2", "3,2,1", "1,2,3", "1,2,3"}));
}

TEST(BuiltinArrays, SortOnOneOrSeveralFields)
{
    auto record = [](const char* name, double age) { return Object({{"n", S(name)}, {"a", N(age)}}); };
    auto names = [] {
        Expr r = Var("r");
        auto at = [&](const char* i) { return Member(Member(r, i), "n"); };
        return Add(Add(at("0"), at("1")), at("2"));
    };
    Asm a;
    auto reset = [&] { assign(a, "r", Array({record("b", 2), record("a", 10), record("c", 2)})); };
    auto sortOn = [&](Expr fields, std::vector<Expr> flags) {
        reset();
        flags.insert(flags.begin(), fields);
        discard(a, Method(Var("r"), "sortOn", flags));
        trace(a, names());
    };
    sortOn(S("a"), {});                                    // as text: "10" < "2"
    sortOn(S("a"), {N(Numeric)});                          // ties keep their order
    sortOn(S("a"), {N(Numeric | Descending)});
    sortOn(Strings({"a", "n"}), {N(Numeric)});
    sortOn(Strings({"a", "n"}), {Numbers({Numeric, Descending})});
    sortOn(Strings({"n"}), {N(Descending)});
    reset();
    trace(a, Method(Var("r"), "sortOn", {S("n"), N(IndexedArray)}));
    trace(a, Method(Var("r"), "sortOn", {S("a"), N(UniqueSort | Numeric)}));
    trace(a, names());
    EXPECT_EQ(run(a), lines({"abc", "bca", "abc", "bca", "cba", "cba", "1,0,2", "0", "bac"}));
}


TEST(BuiltinArrays, HostileArgumentsStayBounded)
{
    Asm thrower; // function (x, y) { throw "stop"; }
    S("stop")(thrower);
    thrower.op(0x2A);
    Asm attempt, handler;
    discard(attempt, Method(Var("t"), "sort", {Function({"x", "y"}, thrower)}));
    trace(handler, Var("e"));

    Asm a;
    trace(a, Member(New("Array", {N(1e10)}), "length"));
    trace(a, Member(New("Array", {N(-1)}), "length"));
    trace(a, Member(Method(Numbers({1, 2, 3}), "slice", {N(-1e300), N(1e300)}), "length"));
    trace(a, Method(Numbers({1, 2, 3}), "splice", {N(1e300), N(-1e300)}));
    trace(a, Method(Numbers({1, 2, 3}), "splice", {Div(N(0), N(0)), Div(N(1), N(0))}));
    trace(a, Method(Numbers({2, 1}), "sort", {N(-1)}));
    trace(a, Member(Method(S("abc"), "split", {S(""), N(1e300)}), "length"));
    trace(a, Method(S("abc"), "substr", {N(1e300), N(-1e300)}));
    trace(a, Method(Method(Var("String"), "fromCharCode", {N(1e300), N(65 + 65536)}), "charCodeAt", {N(1)}));
    trace(a, Method(N(1e300), "toString", {N(36.9)}));
    trace(a, Method(New("Date", {N(0)}), "setDate", {N(1e308)}));
    // A compare function that throws leaves the array as it was.
    assign(a, "t", Numbers({3, 1, 2}));
    a.tryCatch(attempt, "e", handler);
    trace(a, Var("t"));
    EXPECT_EQ(run(a), lines({"0", "0", "3", "", "1,2,3", "0,1", "3", "", "65", "zik0zj", "NaN", "stop", "3,1,2"}));
}
} // namespace
} // namespace lumbra::movie::test
