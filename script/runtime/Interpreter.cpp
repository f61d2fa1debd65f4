#include "script/runtime/Interpreter.h"

#include <chrono>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>

#include "script/runtime/CallFrame.h"
#include "script/runtime/Calls.h"
#include "script/runtime/Closure.h"
#include "script/runtime/CodeTranslator.h"
#include "script/runtime/Collector.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/Opcode.h"
#include "script/runtime/Operators.h"
#include "script/runtime/PropertyAccess.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptFunction.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"
#include "script/runtime/Superinstructions.h"

#if defined(__GNUC__)
#define ORVET_COMPUTED_GOTO 1
#endif

namespace orvet {

namespace {

// Nested runs (script -> native -> script ...) recurse on the host stack.
constexpr int kMaxRunDepth = 200;
// Try blocks open at once; only code that never leaves its try blocks gets
// near this.
constexpr std::size_t kMaxTryRecords = 100000;

using Kind = ValueKind;

// Enters a run: counts the nesting and, on any exit, drops the run's try
// records and restores the stack pointer.
class RunScope {
public:
    explicit RunScope(ScriptContext& ctx) : ctx_(ctx), sp_(ctx.sp), base_(ctx.recovery.size())
    {
        if (ctx.runDepth >= kMaxRunDepth)
            raiseError(ctx, kErrStackOverflow);
        ++ctx.runDepth;
    }
    ~RunScope()
    {
        --ctx_.runDepth;
        if (ctx_.recovery.size() > base_)
            ctx_.recovery.resize(base_);
        ctx_.sp = sp_;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    std::size_t base() const { return base_; }

private:
    ScriptContext& ctx_;
    ScriptValue* sp_;
    std::size_t base_;
};

ScriptValue frameLink(FrameLinkRole role)
{
    ScriptValue v;
    v.kind = Kind::FrameLink;
    v.aux = static_cast<std::uint32_t>(role);
    return v;
}

ScriptValue frameInfo(std::uint32_t argSlots)
{
    ScriptValue v;
    v.kind = Kind::FrameInfo;
    v.aux = argSlots; // addressable argument slots: receiver, count, arguments
    return v;
}

// Writes the four frame slots below the receiver slot at sp.
ScriptValue* buildFrame(ScriptValue* sp, ScriptValue* caller, const std::uint32_t* ret, std::uint32_t argSlots)
{
    ScriptValue* fp = sp - 1;
    frame::callerLink(fp) = frameLink(FrameLinkRole::CallerFrame);
    frame::callerLink(fp).frame = caller;
    frame::info(fp) = frameInfo(argSlots);
    frame::withLink(fp) = frameLink(FrameLinkRole::WithList);
    frame::withLink(fp).withList = nullptr;
    frame::returnLink(fp) = frameLink(FrameLinkRole::ReturnAddress);
    frame::returnLink(fp).code = ret;
    return fp;
}

bool ownsNewestTry(const ScriptContext& ctx, std::size_t base)
{
    return ctx.recovery.size() > base && ctx.recovery.back().kind == RecoveryRecord::Kind::ScriptTry;
}

// Checks the stack that the path starting at target needs (see
// CodeTranslator.h).
void checkPath(ScriptContext& ctx, ScriptValue* sp, ScriptValue* fp, std::uint32_t word, const std::uint32_t* target)
{
    PathNeeds needs{checkNeeded(word), checkGrowth(word)};
    if (checkIsWide(word))
        needs = ctx.widePathNeeds.at(target);
    if (frame::stackDepth(fp, sp) < static_cast<std::ptrdiff_t>(needs.need))
        raiseError(ctx, kErrBadBytecode);
    if (sp - ctx.stackLow() < static_cast<std::ptrdiff_t>(needs.growth + kStackMargin))
        raiseError(ctx, kErrStackOverflow);
}

// Where the handler of the newest try record (which the caller owns) goes on.
// Returned rather than written through references, so that the interpreter's
// registers never have their address taken and can stay in machine registers.
struct HandlerEntry {
    ScriptValue* sp;
    ScriptValue* fp;
    const std::uint32_t* ip;
};

HandlerEntry enterHandler(ScriptContext& ctx)
{
    RecoveryRecord record = ctx.recovery.back();
    ctx.recovery.pop_back();
    ScriptValue* sp = record.sp;
    *--sp = record.thrown;
    ctx.sp = sp;
    checkPath(ctx, sp, record.fp, record.check, record.handler);
    return {sp, record.fp, record.handler};
}

void appendWith(ScriptContext& ctx, ScriptValue* fp, const ScriptValue& scope)
{
    WithList* list = frame::withLink(fp).withList;
    std::uint32_t count = list ? list->count : 0;
    std::size_t bytes = sizeof(WithList) + count * sizeof(ScriptValue);
    list = static_cast<WithList*>(ctx.heap.resize(list, bytes));
    list->count = count + 1;
    list->items[count] = scope;
    frame::withLink(fp).withList = list;
}

void dispose(ScriptContext& ctx, ScriptValue& variable)
{
    if (variable.kind == Kind::Native)
        disposeInstance(ctx, *variable.native);
    variable = ScriptValue::undefined();
}

// The argument count below a callee at sp[0]; it must describe values of the
// caller's own stack. Array literals pass the count negated (their elements
// are never a length), so its magnitude counts.
std::uint32_t callArgSlots(ScriptContext& ctx, ScriptValue* sp, ScriptValue* fp)
{
    const ScriptValue& count = sp[1];
    if (count.kind != Kind::Integer || count.integer < -(frame::stackDepth(fp, sp) - 2)
        || count.integer > frame::stackDepth(fp, sp) - 2)
        raiseError(ctx, kErrBadBytecode);
    return static_cast<std::uint32_t>(count.integer < 0 ? -count.integer : count.integer) + 2;
}

ScriptValue iterationStep(ScriptContext& ctx, const ScriptValue& c, const ScriptValue& i, bool& more)
{
    more = false;
    if (i.kind != Kind::Integer || i.integer < 0)
        return ScriptValue::undefined();
    auto index = static_cast<std::uint64_t>(i.integer);
    ScriptValue out;
    switch (c.kind) {
    case Kind::String:
        if (index < c.string->length) {
            more = true;
            return ScriptValue::ofInt(c.string->chars[index]);
        }
        break;
    case Kind::Array:
        if (index < c.array->length) {
            more = true;
            const ScriptValue* element = arrayGet(*c.array, index);
            return element ? *element : ScriptValue::undefined();
        }
        break;
    case Kind::Object:
        more = propertyNameAt(ctx, c.object, i.integer, out);
        return out;
    default: break;
    }
    return ScriptValue::undefined();
}

void halt(ScriptContext& ctx)
{
    // Waits for ever unless the host's hook asks to stop.
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (ctx.hook)
            if (int answer = ctx.hook(2, ctx.hookData))
                raiseError(ctx, std::string(kErrHookBreak) + std::to_string(answer));
    }
}

void execute(ScriptContext& ctx, ScriptValue* sp, ScriptValue* fp, const std::uint32_t* ip, std::size_t base);

} // namespace

void run(ScriptContext& ctx, const ScriptValue& receiver, Closure* callee, int n, const ScriptValue* block)
{
    RunScope scope(ctx);
    const ScriptFunction& fn = *callee->function;
    ScriptValue* sp = ctx.sp;
    if (n < 0 || sp - ctx.stackLow() < std::ptrdiff_t(n) + 2 + static_cast<std::ptrdiff_t>(fn.frameNeed))
        raiseError(ctx, kErrStackOverflow);
    *--sp = ScriptValue::ofFunction(callee);
    for (int i = n; i-- > 0;)
        *--sp = block[i];
    *--sp = receiver.kind == Kind::Undefined ? ScriptValue::null() : receiver;
    ScriptValue* fp = buildFrame(sp, nullptr, nullptr, static_cast<std::uint32_t>(n) + 1);
    ctx.sp = frame::emptyStack(fp);
    execute(ctx, frame::emptyStack(fp), fp, fn.code.data(), scope.base());
}

namespace {

// Integer arithmetic wraps around at 64 bits.
inline std::int64_t wrapAdd(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(std::uint64_t(a) + std::uint64_t(b));
}
inline std::int64_t wrapSub(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(std::uint64_t(a) - std::uint64_t(b));
}
inline std::int64_t wrapMul(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(std::uint64_t(a) * std::uint64_t(b));
}

// Copies a value between stack and variable slots as two 8-byte halves. The
// integer and boolean paths write a result as two 8-byte stores (kind, then
// payload); a following 16-byte load of that slot, as a plain struct copy
// compiles to, cannot be forwarded from those stores and stalls until they
// reach the cache. Profiles of loop-heavy scripts put half their time on that
// stall in SET_LOCAL; two 8-byte loads are each forwarded at once.
inline void copySlot(ScriptValue& to, const ScriptValue& from)
{
    std::uint64_t head, payload;
    std::memcpy(&head, &from, 8);
    std::memcpy(&payload, reinterpret_cast<const char*>(&from) + 8, 8);
    // The empty asm keeps the compiler from fusing the halves back into one
    // 16-byte move.
#if defined(__GNUC__)
    asm("" : "+r"(head), "+r"(payload));
#endif
    std::memcpy(static_cast<void*>(&to), &head, 8);
    std::memcpy(reinterpret_cast<char*>(&to) + 8, &payload, 8);
}

#define SAVE() (ctx.sp = sp, ctx.ip = ip)
#define GC_POINT()                                                                                               \
    do {                                                                                                         \
        if (ctx.heap.collectionDue()) {                                                                          \
            SAVE();                                                                                              \
            collectIfDue(ctx);                                                                                   \
        }                                                                                                        \
    } while (0)
#define OPERAND() (static_cast<std::int32_t>(*ip++))
#define JUMP()                                                                                                   \
    do {                                                                                                         \
        std::int32_t d_ = OPERAND();                                                                             \
        ip += d_;                                                                                                \
        if (word >> 8)                                                                                           \
            checkPath(ctx, sp, fp, word, ip);                                                                    \
    } while (0)

// Every instruction also has a label, so that a fused instruction can hand
// its operands to the first instruction of its sequence (Superinstructions.h).
#ifdef ORVET_COMPUTED_GOTO
#define CASE(op) L_##op:
#define FUSED_CASE(op) L_##op:
#define DISPATCH() goto* kLabels[(word = *ip++) & 0xFF]
#else
#define CASE(op) case Opcode::op: L_##op:
#define FUSED_CASE(op) case static_cast<Opcode>(FusedOp::op): L_##op:
#define DISPATCH() goto next
#endif

void execute(ScriptContext& ctx, ScriptValue* sp, ScriptValue* fp, const std::uint32_t* ip, std::size_t base)
{
    ScriptValue* const low = ctx.stackLow();
    std::uint32_t word = 0;
    Closure* callee = nullptr;
    bool catching = false;
#ifdef ORVET_COMPUTED_GOTO
    // Every byte has a label: the opcodes theirs (in number order, from the
    // list), then the fused opcodes, every other byte L_BAD. The tail of BADs
    // runs past 0xFF, however many fused opcodes there are.
#define BAD1 &&L_BAD,
#define BAD4 BAD1 BAD1 BAD1 BAD1
#define BAD16 BAD4 BAD4 BAD4 BAD4
#define ORVET_OPCODE_LABEL(name, number, form, takes, leaves) &&L_##name,
#define ORVET_FUSED_LABEL(name) &&L_##name,
    static const void* const kLabels[] = {
        BAD16 BAD16 BAD1 // 0x00-0x20
        ORVET_OPCODES(ORVET_OPCODE_LABEL)
        ORVET_FUSED_OPCODES(ORVET_FUSED_LABEL)
        BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16 BAD16
    };
    static_assert(std::size(kLabels) >= 256 && kFirstOpcode == 0x21, "the BAD runs above fit these bounds");
#undef ORVET_FUSED_LABEL
#undef ORVET_OPCODE_LABEL
#undef BAD16
#undef BAD4
#undef BAD1
#endif
    for (;;) {
        try {
            if (catching) {
                catching = false;
                {
                const HandlerEntry entry = enterHandler(ctx);
                sp = entry.sp, fp = entry.fp, ip = entry.ip;
            }
            }
#ifdef ORVET_COMPUTED_GOTO
            DISPATCH();
#else
            for (;;) {
                word = *ip++;
                switch (static_cast<Opcode>(word & 0xFF)) {
#endif

    CASE(PUSH_0) *--sp = ScriptValue::ofInt(0); DISPATCH();
    CASE(PUSH_1) *--sp = ScriptValue::ofInt(1); DISPATCH();
    CASE(PUSH_2) *--sp = ScriptValue::ofInt(2); DISPATCH();
    CASE(PUSH_3) *--sp = ScriptValue::ofInt(3); DISPATCH();
    CASE(PUSH_INT) *--sp = ScriptValue::ofInt(OPERAND()); DISPATCH();
    CASE(PUSH_UNDEFINED) *--sp = ScriptValue::undefined(); DISPATCH();
    CASE(PUSH_NULL) *--sp = ScriptValue::null(); DISPATCH();
    CASE(PUSH_TRUE) *--sp = ScriptValue::ofBool(true); DISPATCH();
    CASE(PUSH_FALSE) *--sp = ScriptValue::ofBool(false); DISPATCH();
    CASE(PUSH_CONST) *--sp = ctx.constants[*ip++]; DISPATCH();

    CASE(GET_LOCAL) { std::int32_t n = OPERAND(); copySlot(sp[-1], frame::local(fp, n)); --sp; DISPATCH(); }
    CASE(SET_LOCAL) { std::int32_t n = OPERAND(); copySlot(frame::local(fp, n), *sp++); DISPATCH(); }
    CASE(GET_ARG) {
        std::int32_t n = OPERAND();
        sp[-1] = static_cast<std::uint32_t>(n) < frame::info(fp).aux ? frame::argument(fp, n) : ScriptValue::undefined();
        --sp;
        DISPATCH();
    }
    CASE(SET_ARG) {
        std::int32_t n = OPERAND();
        if (static_cast<std::uint32_t>(n) < frame::info(fp).aux)
            frame::argument(fp, n) = *sp;
        ++sp;
        DISPATCH();
    }
    CASE(GET_FRAME_SLOT) {
        const ScriptValue i = *sp;
        bool inside = i.kind == Kind::Integer && i.integer >= 0 && i.integer < frame::info(fp).aux;
        *sp = inside ? frame::argument(fp, i.integer) : ScriptValue::undefined();
        DISPATCH();
    }
    CASE(GET_GLOBAL) {
        Atom atom = OPERAND();
        const ScriptValue& v = ctx.globals[static_cast<std::size_t>(atom)];
        *--sp = v;
        if (v.kind == Kind::Undefined && ctx.warnUndefinedVariables) {
            SAVE();
            warnName(ctx, "using undefined variable", ctx.nameOf(atom));
        }
        DISPATCH();
    }
    CASE(SET_GLOBAL) {
        ScriptValue& slot = ctx.globals[*ip++];
        slot = *sp++;
        if (slot.kind == Kind::Undefined)
            slot.integer = 0;
        DISPATCH();
    }

    CASE(DUP) sp[-1] = sp[0]; --sp; DISPATCH();
    CASE(POP) ++sp; DISPATCH();
    CASE(SWAP) std::swap(sp[0], sp[1]); DISPATCH();
    CASE(NIP) { std::int32_t n = OPERAND(); sp[n] = sp[0]; sp += n; DISPATCH(); }
    CASE(DROP) sp += OPERAND(); DISPATCH();
    CASE(NOP) DISPATCH();
    CASE(ROLL) {
        std::int32_t n = OPERAND();
        if (n > 1) {
            ScriptValue top = sp[0];
            std::memmove(sp, sp + 1, (n - 1) * sizeof(ScriptValue));
            sp[n - 1] = top;
        } else if (n < -1) {
            std::int32_t depth = -n - 1;
            ScriptValue moved = sp[depth];
            std::memmove(sp + 1, sp, depth * sizeof(ScriptValue));
            sp[0] = moved;
        }
        DISPATCH();
    }

#define INT_BINARY(op, expr)                                                                                     \
    CASE(op)                                                                                                     \
    if (sp[0].kind == Kind::Integer && sp[1].kind == Kind::Integer) {                                            \
        const std::int64_t a = sp[1].integer, b = sp[0].integer;                                                 \
        sp[1] = expr;                                                                                            \
        ++sp;                                                                                                    \
        DISPATCH();                                                                                              \
    }                                                                                                            \
    SAVE();
    INT_BINARY(ADD, ScriptValue::ofInt(wrapAdd(a, b))) {
        bool concat = sp[0].kind == Kind::String || sp[1].kind == Kind::String;
        sp[1] = arithmetic(ctx, ArithOp::Add, sp[1], sp[0]);
        ++sp;
        if (concat)
            GC_POINT();
        DISPATCH();
    }
    INT_BINARY(SUB, ScriptValue::ofInt(wrapSub(a, b)))
        sp[1] = arithmetic(ctx, ArithOp::Sub, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(MUL, ScriptValue::ofInt(wrapMul(a, b)))
        sp[1] = arithmetic(ctx, ArithOp::Mul, sp[1], sp[0]); ++sp; DISPATCH();
    CASE(DIV) SAVE(); sp[1] = arithmetic(ctx, ArithOp::Div, sp[1], sp[0]); ++sp; DISPATCH();
    CASE(MOD) {
        // The common case inline; a zero or negative divisor takes the full rules.
        if (sp[0].kind == Kind::Integer && sp[1].kind == Kind::Integer && sp[0].integer > 0) {
            sp[1].integer %= sp[0].integer;
            ++sp;
            DISPATCH();
        }
        SAVE();
        sp[1] = arithmetic(ctx, ArithOp::Mod, sp[1], sp[0]);
        ++sp;
        DISPATCH();
    }
    INT_BINARY(LT, ScriptValue::ofBool(a < b)) sp[1] = compare(ctx, CompareOp::Lt, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(LE, ScriptValue::ofBool(a <= b)) sp[1] = compare(ctx, CompareOp::Le, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(GT, ScriptValue::ofBool(a > b)) sp[1] = compare(ctx, CompareOp::Gt, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(GE, ScriptValue::ofBool(a >= b)) sp[1] = compare(ctx, CompareOp::Ge, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(BIT_AND, ScriptValue::ofInt(a & b)) sp[1] = bitwise(ctx, BitOp::And, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(BIT_OR, ScriptValue::ofInt(a | b)) sp[1] = bitwise(ctx, BitOp::Or, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(BIT_XOR, ScriptValue::ofInt(a ^ b)) sp[1] = bitwise(ctx, BitOp::Xor, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(SHL, ScriptValue::ofInt(shiftLeft(a, b))) sp[1] = bitwise(ctx, BitOp::Shl, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(SHR, ScriptValue::ofInt(shiftRight(a, b))) sp[1] = bitwise(ctx, BitOp::Shr, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(USHR, ScriptValue::ofInt(shiftRightUnsigned(a, b)))
        sp[1] = bitwise(ctx, BitOp::Ushr, sp[1], sp[0]); ++sp; DISPATCH();
    INT_BINARY(EQ, ScriptValue::ofBool(a == b)) sp[1] = ScriptValue::ofBool(looseEquals(ctx, sp[1], sp[0])); ++sp; DISPATCH();
    INT_BINARY(NE, ScriptValue::ofBool(a != b)) sp[1] = ScriptValue::ofBool(!looseEquals(ctx, sp[1], sp[0])); ++sp; DISPATCH();
#undef INT_BINARY
    CASE(STRICT_EQ) sp[1] = ScriptValue::ofBool(strictEquals(sp[1], sp[0])); ++sp; DISPATCH();
    CASE(STRICT_NE) sp[1] = ScriptValue::ofBool(!strictEquals(sp[1], sp[0])); ++sp; DISPATCH();
    CASE(NEG) {
        if (sp[0].kind == Kind::Integer)
            sp[0].integer = static_cast<std::int64_t>(0 - std::uint64_t(sp[0].integer));
        else {
            SAVE();
            sp[0] = negate(ctx, sp[0]);
        }
        DISPATCH();
    }
    CASE(NOT) sp[0] = ScriptValue::ofBool(!toBoolean(sp[0])); DISPATCH();
    CASE(INC) CASE(ADD2) {
        std::int64_t step = (word & 0xFF) == static_cast<std::uint8_t>(Opcode::INC) ? 1 : 2;
        if (sp[0].kind == Kind::Integer) {
            sp[0].integer = static_cast<std::int64_t>(std::uint64_t(sp[0].integer) + std::uint64_t(step));
        } else {
            SAVE();
            ScriptValue increment = ScriptValue::ofInt(step);
            sp[0] = arithmetic(ctx, ArithOp::Add, sp[0], increment);
        }
        DISPATCH();
    }
    CASE(TYPEOF) SAVE(); sp[0] = typeOf(ctx, sp[0]); GC_POINT(); DISPATCH();

    CASE(JUMP) JUMP(); DISPATCH();
    CASE(JUMP_IF_TRUE_BOOL) if ((sp++)->boolean) JUMP(); else ++ip; DISPATCH();
    CASE(JUMP_IF_FALSE_BOOL) if (!(sp++)->boolean) JUMP(); else ++ip; DISPATCH();
    CASE(JUMP_IF_TRUE) if (toBoolean(*sp++)) JUMP(); else ++ip; DISPATCH();
    CASE(JUMP_IF_FALSE) if (!toBoolean(*sp++)) JUMP(); else ++ip; DISPATCH();

    // An object's own property is found right here; everything else (the
    // prototype chain, other kinds, a missing name) takes the full rules.
    CASE(GET_PROP) {
        Atom name = OPERAND();
        if (sp[0].kind == Kind::Object)
            if (const PropertySlot* slot = findOwnSlot(sp[0].object, name)) {
                sp[0] = slot->value;
                DISPATCH();
            }
        SAVE();
        ScriptValue out;
        if (!getMember(ctx, sp[0], name, out))
            warnName(ctx, "using undefined property", ctx.nameOf(name));
        sp[0] = out;
        DISPATCH();
    }
    CASE(SET_PROP) {
        Atom name = OPERAND();
        if (sp[0].kind == Kind::Object)
            if (PropertySlot* slot = findOwnSlot(sp[0].object, name)) {
                // An existing slot: nothing is allocated, no collection is due.
                slot->value = sp[1];
                sp += 2;
                DISPATCH();
            }
        SAVE();
        setMember(ctx, sp[0], name, sp[1]);
        sp += 2;
        GC_POINT();
        DISPATCH();
    }
    CASE(DELETE_PROP) {
        Atom name = OPERAND();
        SAVE();
        deleteMember(ctx, sp[0], name);
        sp[0] = ScriptValue::undefined();
        DISPATCH();
    }
    // a[i] with an integer i inside an array's dense part is a bounds check
    // and a load (or store) right here: profiles of array-heavy scripts showed
    // the calls through getElement/setElement/arraySet as their largest cost.
    // Everything else (holes, sparse indexes, other targets and keys) takes the
    // full rules; a negative i wraps to a huge index and fails the check.
    CASE(GET_ELEM) {
        if (sp[1].kind == Kind::Array && sp[0].kind == Kind::Integer) {
            const ScriptArray& a = *sp[1].array;
            const auto i = static_cast<std::uint64_t>(sp[0].integer);
            if (i < a.denseSize && i < a.length && a.dense[i].kind != Kind::Hole) {
                sp[1] = a.dense[i];
                ++sp;
                DISPATCH();
            }
        }
        SAVE();
        sp[1] = getElement(ctx, sp[1], sp[0]);
        ++sp;
        DISPATCH();
    }
    CASE(SET_ELEM) {
        if (sp[1].kind == Kind::Array && sp[0].kind == Kind::Integer) {
            ScriptArray& a = *sp[1].array;
            const auto i = static_cast<std::uint64_t>(sp[0].integer);
            if (i < a.denseSize) {
                // Nothing is allocated here, so no collection can be due.
                a.dense[i] = sp[2];
                if (i >= a.length)
                    a.length = i + 1;
                sp += 3;
                DISPATCH();
            }
        }
        SAVE();
        setElement(ctx, sp[1], sp[0], sp[2]);
        sp += 3;
        GC_POINT();
        DISPATCH();
    }
    CASE(DELETE_ELEM) SAVE(); deleteElement(ctx, sp[1], sp[0]); sp[1] = ScriptValue::undefined(); ++sp; DISPATCH();
    CASE(ITER_NEXT) {
        SAVE();
        bool more;
        sp[1] = iterationStep(ctx, sp[1], sp[0], more);
        sp[0] = ScriptValue::ofBool(more);
        DISPATCH();
    }

    CASE(GET_NAME) {
        Atom name = OPERAND();
        SAVE();
        ScriptValue out = ctx.globals[static_cast<std::size_t>(name)];
        if (WithList* list = frame::withLink(fp).withList) {
            ScriptValue found;
            for (std::uint32_t i = 0; i < list->count; ++i) {
                if (getMember(ctx, list->items[i], name, found)) {
                    out = found;
                    break;
                }
            }
        }
        *--sp = out;
        DISPATCH();
    }
    CASE(SET_NAME) {
        Atom name = OPERAND();
        SAVE();
        if (WithList* list = frame::withLink(fp).withList) {
            for (std::uint32_t i = 0; i < list->count; ++i) {
                if (setScopeMember(ctx, list->items[i], name, sp[0])) {
                    ++sp;
                    DISPATCH();
                }
                GC_POINT();
            }
        }
        ctx.globals[static_cast<std::size_t>(name)] = *sp++;
        DISPATCH();
    }
    CASE(DELETE_NAME) {
        Atom name = OPERAND();
        SAVE();
        if (WithList* list = frame::withLink(fp).withList) {
            for (std::uint32_t i = 0; i < list->count; ++i) {
                const ScriptValue& scope = list->items[i];
                if (scope.kind == Kind::Object && findOwnSlot(scope.object, name)) {
                    deleteProperty(ctx, scope.object, name);
                    break;
                }
            }
        }
        sp[0] = ScriptValue::undefined();
        DISPATCH();
    }
    CASE(DISPOSE_GLOBAL) SAVE(); dispose(ctx, ctx.globals[*ip++]); sp[0] = ScriptValue::undefined(); DISPATCH();
    CASE(DISPOSE_LOCAL) { std::int32_t n = OPERAND(); SAVE(); dispose(ctx, frame::local(fp, n)); sp[0] = ScriptValue::undefined(); DISPATCH(); }
    CASE(DISPOSE_ARG) {
        std::int32_t n = OPERAND();
        SAVE();
        if (static_cast<std::uint32_t>(n) < frame::info(fp).aux)
            dispose(ctx, frame::argument(fp, n));
        sp[0] = ScriptValue::undefined();
        DISPATCH();
    }

    CASE(WITH_PUSH) SAVE(); appendWith(ctx, fp, sp[0]); ++sp; DISPATCH();
    CASE(WITH_POP) {
        auto n = static_cast<std::uint32_t>(OPERAND());
        if (WithList* list = frame::withLink(fp).withList; list && n <= list->count)
            list->count -= n;
        DISPATCH();
    }

    CASE(TRY) {
        std::int32_t d = OPERAND();
        SAVE();
        if (ctx.recovery.size() >= kMaxTryRecords)
            raiseError(ctx, kErrStackOverflow);
        RecoveryRecord record;
        record.kind = RecoveryRecord::Kind::ScriptTry;
        record.sp = sp;
        record.fp = fp;
        record.handler = ip + d;
        record.check = word;
        ctx.recovery.push_back(record);
        DISPATCH();
    }
    CASE(END_TRY) {
        for (std::int32_t n = OPERAND(); n > 0 && ownsNewestTry(ctx, base) && ctx.recovery.back().fp == fp; --n)
            ctx.recovery.pop_back();
        DISPATCH();
    }
    CASE(THROW) {
        SAVE();
        if (sp >= frame::emptyStack(fp)) // nothing of this frame's to throw (see CodeTranslator.cpp)
            raiseError(ctx, kErrBadBytecode);
        if (!ownsNewestTry(ctx, base))
            throwValue(ctx, sp[0]);
        ctx.recovery.back().thrown = sp[0];
        {
            const HandlerEntry entry = enterHandler(ctx);
            sp = entry.sp, fp = entry.fp, ip = entry.ip;
        }
        DISPATCH();
    }

    CASE(LOCALS) {
        for (std::int32_t n = OPERAND(); n > 0; --n)
            *--sp = ScriptValue::undefined();
        DISPATCH();
    }
    CASE(ARGS) {
        const std::int32_t n = OPERAND();
        const ScriptValue count = *sp++;
        if (count.kind != Kind::Integer)
            raiseError(ctx, kErrBadBytecode);
        if (count.integer >= n)
            DISPATCH();
        // Pad the missing parameters: everything from the top of the stack
        // down to the last argument moves by k slots, the frame with it.
        ScriptValue& info = frame::info(fp);
        if (count.integer != info.aux || info.info.padding) {
            SAVE();
            raiseError(ctx, kErrBadBytecode);
        }
        const auto c = static_cast<std::uint32_t>(count.integer);
        const std::uint32_t k = static_cast<std::uint32_t>(n) - c;
        std::memmove(sp - k, sp, static_cast<std::size_t>((fp + c) - sp + 1) * sizeof(ScriptValue));
        for (auto it = ctx.recovery.rbegin(); it != ctx.recovery.rend() && it->fp == fp; ++it) {
            it->fp -= k;
            it->sp -= k;
        }
        sp -= k;
        fp -= k;
        for (std::uint32_t i = c; i < static_cast<std::uint32_t>(n); ++i)
            frame::argument(fp, i) = ScriptValue::undefined();
        frame::info(fp).aux = static_cast<std::uint32_t>(n);
        frame::info(fp).info.argSlots = c;
        frame::info(fp).info.padding = k;
        DISPATCH();
    }

    CASE(CALL) {
        callArgSlots(ctx, sp, fp);
        const ScriptValue f = sp[0];
        sp[0] = ScriptValue::null();
        if (f.kind == Kind::Function) {
            callee = f.closure;
            goto enter;
        }
        SAVE();
        ScriptValue result;
        if (f.kind == Kind::Native && f.native->cls->call) {
            NativeObject& object = *f.native;
            sp[0] = f; // keep the callee reachable during the call
            object.cls->call(ctx, *object.cls, object.data, &result, sp + 1);
            sp[0] = ScriptValue::null();
        } else {
            ctx.warn("Warning: call a undefined function");
        }
        *--sp = result;
        DISPATCH();
    }
    CASE(CALL_METHOD) {
        Atom name = OPERAND();
        callArgSlots(ctx, sp, fp);
        SAVE();
        ScriptValue result;
        MethodLookup m = lookupMethod(ctx, sp, name, sp + 1, result);
        if (m.kind == MethodLookup::Kind::Script) {
            callee = m.closure;
            goto enter;
        }
        if (m.kind == MethodLookup::Kind::Missing)
            warnName(ctx, "unknown method", ctx.nameOf(name));
        *--sp = result;
        GC_POINT();
        DISPATCH();
    }
    CASE(CALL_NAME) {
        Atom name = OPERAND();
        callArgSlots(ctx, sp, fp);
        SAVE();
        if (WithList* list = frame::withLink(fp).withList) {
            for (std::uint32_t i = 0; i < list->count; ++i) {
                ScriptValue scope = list->items[i];
                if (scope.kind == Kind::Object) {
                    ScriptValue found;
                    if (getProperty(scope.object, name, found) && found.kind == Kind::Function) {
                        sp[0] = scope;
                        callee = found.closure;
                        goto enter;
                    }
                    continue;
                }
                void* data;
                NativeClass* cls = classOf(ctx, &scope, &data);
                ScriptValue result;
                bool handled = cls && cls->callMethod && cls->callMethod(ctx, *cls, data, name, &result, sp + 1);
                if (handled) {
                    *--sp = result;
                    GC_POINT();
                    DISPATCH();
                }
                GC_POINT();
            }
        }
        const ScriptValue f = sp[0];
        sp[0] = ScriptValue::null();
        if (f.kind == Kind::Function) {
            callee = f.closure;
            goto enter;
        }
        ScriptValue result;
        if (f.kind == Kind::Native && f.native->cls->call) {
            sp[0] = f;
            f.native->cls->call(ctx, *f.native->cls, f.native->data, &result, sp + 1);
            sp[0] = ScriptValue::null();
        } else {
            ctx.warn("Warning: call a undefined function");
        }
        *--sp = result;
        DISPATCH();
    }
    CASE(NEW) {
        callArgSlots(ctx, sp, fp);
        SAVE();
        const ScriptValue c = sp[0];
        if (c.kind == Kind::Function) {
            Closure* fn = c.closure;
            if (!fn->props) {
                NativeClass* objectClass = kindClass(ctx, Kind::Object);
                fn->props = newObjectWithProto(ctx, objectClass ? ScriptValue::ofObject(objectClass->prototype)
                                                                : ScriptValue::null());
            }
            sp[0] = ScriptValue::ofObject(newObjectWithProto(ctx, ScriptValue::ofObject(fn->props)));
            callee = fn;
            goto enter;
        }
        NativeClass* cls = c.kind == Kind::Native ? c.native->cls : kindClass(ctx, c.kind);
        if (cls && cls->construct) {
            ScriptValue result;
            cls->construct(ctx, *cls, sp + 1, &result);
            sp[0] = result;
            *--sp = ScriptValue::undefined();
            GC_POINT();
        } else {
            *--sp = ScriptValue::null();
            ctx.warn("Warning: invalid constructor");
        }
        DISPATCH();
    }

    CASE(RETURN) {
        if (!frame::callerLink(fp).frame)
            goto end;
        const ScriptValue result = sp[0];
        while (ownsNewestTry(ctx, base) && ctx.recovery.back().fp == fp)
            ctx.recovery.pop_back();
        ScriptValue* caller = frame::callerLink(fp).frame;
        ip = frame::returnLink(fp).code;
        if (const std::uint32_t k = frame::info(fp).info.padding) {
            std::memmove(fp + 1 + k, fp + 1, frame::info(fp).info.argSlots * sizeof(ScriptValue));
            fp += k;
        }
        frame::callerLink(fp) = result;
        sp = fp;
        fp = caller;
        DISPATCH();
    }
    CASE(END) goto end;
    CASE(HALT) SAVE(); halt(ctx); DISPATCH();

    // Fused sequences (Superinstructions.h). ip points at the word after the
    // fused opcode word; the sequence's own words follow unchanged, so a
    // GET_LOCAL operand is at ip[0] and the sequence ends at ip + length - 1.
    // A fast path that does not apply runs the sequence's first instruction.
#define LOCAL_AT(i) frame::local(fp, static_cast<std::int32_t>(ip[i]))
    // The second GET_LOCAL of a sequence runs after the first has pushed, so
    // it may address the slot of that very value (the linker's check allows
    // it; compiled scripts never do it). Only a slot that exists before the
    // sequence starts can be read ahead.
#define SECOND_LOCAL_INTEGER (&LOCAL_AT(2) >= sp && LOCAL_AT(2).kind == Kind::Integer)
#define NEXT_AFTER_SEQUENCE() (ip += fusedLength(word) - 1)
    // Takes the sequence's final JUMP_IF_FALSE_BOOL when cond is false.
#define BRANCH_UNLESS(cond)                                                                                      \
    do {                                                                                                         \
        const std::uint32_t* jump_ = ip + fusedLength(word) - 3;                                                 \
        if (cond) {                                                                                              \
            ip = jump_ + 2;                                                                                      \
        } else {                                                                                                 \
            const std::uint32_t jumpWord_ = jump_[0];                                                            \
            ip = jump_ + 2 + static_cast<std::int32_t>(jump_[1]);                                                \
            if (jumpWord_ >> 8)                                                                                  \
                checkPath(ctx, sp, fp, jumpWord_, ip);                                                           \
        }                                                                                                        \
    } while (0)

    // GET_LOCAL a; GET_LOCAL b; op
#define FUSED_LOCALS(name, expr)                                                                                 \
    FUSED_CASE(name) {                                                                                           \
        const ScriptValue& x = LOCAL_AT(0);                                                                      \
        const ScriptValue& y = LOCAL_AT(2);                                                                      \
        if (x.kind == Kind::Integer && SECOND_LOCAL_INTEGER) {                                                   \
            const std::int64_t a = x.integer, b = y.integer;                                                     \
            *--sp = ScriptValue::ofInt(expr);                                                                    \
            ip += 4;                                                                                             \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        goto L_GET_LOCAL;                                                                                        \
    }
    FUSED_LOCALS(LOCALS_ADD, wrapAdd(a, b))
    FUSED_LOCALS(LOCALS_SUB, wrapSub(a, b))
    FUSED_LOCALS(LOCALS_MUL, wrapMul(a, b))
    FUSED_LOCALS(LOCALS_BIT_AND, a & b)
    FUSED_LOCALS(LOCALS_BIT_OR, a | b)
    FUSED_LOCALS(LOCALS_BIT_XOR, a ^ b)
#undef FUSED_LOCALS

    // Runs a sequence's first instruction, an integer push, alone; rest is
    // the number of words in the sequence after it.
#define PUSH_CONSTANT_ALONE(rest)                                                                                \
    do {                                                                                                         \
        *--sp = ScriptValue::ofInt(fusedConstant(word));                                                         \
        ip += fusedLength(word) - 1 - (rest); /* past the push's operand, if it has one */                       \
        DISPATCH();                                                                                              \
    } while (0)

    // PUSH constant; op
#define FUSED_CONST(name, expr)                                                                                  \
    FUSED_CASE(name) {                                                                                           \
        if (sp[0].kind == Kind::Integer) {                                                                       \
            const std::int64_t a = sp[0].integer, b = fusedConstant(word);                                       \
            sp[0].integer = expr;                                                                                \
            NEXT_AFTER_SEQUENCE();                                                                               \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        PUSH_CONSTANT_ALONE(1);                                                                                  \
    }
    FUSED_CONST(CONST_ADD, wrapAdd(a, b))
    FUSED_CONST(CONST_SUB, wrapSub(a, b))
    FUSED_CONST(CONST_MUL, wrapMul(a, b))
    FUSED_CONST(CONST_MOD, a % b) // b > 0, see Superinstructions.cpp
    FUSED_CONST(CONST_BIT_AND, a & b)
    FUSED_CONST(CONST_BIT_OR, a | b)
    FUSED_CONST(CONST_BIT_XOR, a ^ b)
#undef FUSED_CONST

    // PUSH constant; op; SET_LOCAL c
#define FUSED_CONST_TO_LOCAL(name, expr)                                                                         \
    FUSED_CASE(name) {                                                                                           \
        if (sp[0].kind == Kind::Integer) {                                                                       \
            const std::int64_t a = sp[0].integer, b = fusedConstant(word);                                       \
            ++sp;                                                                                                \
            frame::local(fp, static_cast<std::int32_t>(ip[fusedLength(word) - 2])) = ScriptValue::ofInt(expr);   \
            NEXT_AFTER_SEQUENCE();                                                                               \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        PUSH_CONSTANT_ALONE(3);                                                                                  \
    }
    FUSED_CONST_TO_LOCAL(CONST_ADD_TO_LOCAL, wrapAdd(a, b))
    FUSED_CONST_TO_LOCAL(CONST_SUB_TO_LOCAL, wrapSub(a, b))
    FUSED_CONST_TO_LOCAL(CONST_MUL_TO_LOCAL, wrapMul(a, b))
    FUSED_CONST_TO_LOCAL(CONST_MOD_TO_LOCAL, a % b) // b > 0
#undef FUSED_CONST_TO_LOCAL

    // GET_LOCAL a; GET_LOCAL b or PUSH constant; op; SET_LOCAL c
#define FUSED_TO_LOCAL(name, second, expr)                                                                       \
    FUSED_CASE(name) {                                                                                           \
        const ScriptValue& x = LOCAL_AT(0);                                                                      \
        if (x.kind == Kind::Integer && (second)) {                                                               \
            const std::int64_t a = x.integer;                                                                    \
            frame::local(fp, static_cast<std::int32_t>(ip[fusedLength(word) - 2])) = ScriptValue::ofInt(expr);   \
            NEXT_AFTER_SEQUENCE();                                                                               \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        goto L_GET_LOCAL;                                                                                        \
    }
    FUSED_TO_LOCAL(LOCALS_ADD_TO_LOCAL, SECOND_LOCAL_INTEGER, wrapAdd(a, LOCAL_AT(2).integer))
    FUSED_TO_LOCAL(LOCALS_SUB_TO_LOCAL, SECOND_LOCAL_INTEGER, wrapSub(a, LOCAL_AT(2).integer))
    FUSED_TO_LOCAL(LOCALS_MUL_TO_LOCAL, SECOND_LOCAL_INTEGER, wrapMul(a, LOCAL_AT(2).integer))
    FUSED_TO_LOCAL(LOCAL_CONST_ADD_TO_LOCAL, true, wrapAdd(a, fusedConstant(word)))
    FUSED_TO_LOCAL(LOCAL_CONST_SUB_TO_LOCAL, true, wrapSub(a, fusedConstant(word)))
#undef FUSED_TO_LOCAL

    // compare; JUMP_IF_FALSE_BOOL
#define FUSED_COMPARE_JUMP(name, compare, cmp)                                                                   \
    FUSED_CASE(name) {                                                                                           \
        if (sp[0].kind == Kind::Integer && sp[1].kind == Kind::Integer) {                                        \
            const bool holds = sp[1].integer cmp sp[0].integer;                                                  \
            sp += 2;                                                                                             \
            BRANCH_UNLESS(holds);                                                                                \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        goto L_##compare;                                                                                        \
    }
    // GET_LOCAL a; GET_LOCAL b, GET_ARG b or PUSH constant; compare;
    // JUMP_IF_FALSE_BOOL, and GET_ARG a; PUSH constant; compare;
    // JUMP_IF_FALSE_BOOL. An argument slot beyond the frame reads as
    // Undefined, so it takes the plain instructions.
#define ARG_AT(i) frame::argument(fp, static_cast<std::int32_t>(ip[i]))
#define ARG_IS_INTEGER(i) (ip[i] < frame::info(fp).aux && ARG_AT(i).kind == Kind::Integer)
#define FUSED_SOURCE_COMPARE_JUMP(name, first, firstIsInteger, plainFirst, cmp, secondIsInteger, second)         \
    FUSED_CASE(name) {                                                                                           \
        if ((firstIsInteger) && (secondIsInteger)) {                                                             \
            BRANCH_UNLESS((first).integer cmp(second));                                                          \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        goto plainFirst;                                                                                         \
    }
#define LOCAL_IS_INTEGER(i) (LOCAL_AT(i).kind == Kind::Integer)
    // PUSH constant; compare; JUMP_IF_FALSE_BOOL: the stack's top against a constant.
#define FUSED_CONST_COMPARE_JUMP(name, cmp)                                                                      \
    FUSED_CASE(name) {                                                                                           \
        if (sp[0].kind == Kind::Integer) {                                                                       \
            const bool holds = sp[0].integer cmp fusedConstant(word);                                            \
            ++sp;                                                                                                \
            BRANCH_UNLESS(holds);                                                                                \
            DISPATCH();                                                                                          \
        }                                                                                                        \
        PUSH_CONSTANT_ALONE(3);                                                                                  \
    }
#define FUSED_COMPARE_JUMPS(suffix, compare, cmp)                                                                \
    FUSED_COMPARE_JUMP(suffix, compare, cmp)                                                                     \
    FUSED_SOURCE_COMPARE_JUMP(LOCALS_##suffix, LOCAL_AT(0), LOCAL_IS_INTEGER(0), L_GET_LOCAL, cmp,               \
                              SECOND_LOCAL_INTEGER, LOCAL_AT(2).integer)                                         \
    FUSED_SOURCE_COMPARE_JUMP(LOCAL_ARG_##suffix, LOCAL_AT(0), LOCAL_IS_INTEGER(0), L_GET_LOCAL, cmp,            \
                              ARG_IS_INTEGER(2), ARG_AT(2).integer)                                              \
    FUSED_SOURCE_COMPARE_JUMP(LOCAL_CONST_##suffix, LOCAL_AT(0), LOCAL_IS_INTEGER(0), L_GET_LOCAL, cmp, true,    \
                              fusedConstant(word))                                                               \
    FUSED_SOURCE_COMPARE_JUMP(ARG_CONST_##suffix, ARG_AT(0), ARG_IS_INTEGER(0), L_GET_ARG, cmp, true,            \
                              fusedConstant(word))                                                               \
    FUSED_CONST_COMPARE_JUMP(CONST_##suffix, cmp)
    FUSED_COMPARE_JUMPS(LT_JUMP_FALSE, LT, <)
    FUSED_COMPARE_JUMPS(LE_JUMP_FALSE, LE, <=)
    FUSED_COMPARE_JUMPS(GT_JUMP_FALSE, GT, >)
    FUSED_COMPARE_JUMPS(GE_JUMP_FALSE, GE, >=)
    FUSED_COMPARE_JUMPS(EQ_JUMP_FALSE, EQ, ==)
    FUSED_COMPARE_JUMPS(NE_JUMP_FALSE, NE, !=)
#undef FUSED_COMPARE_JUMPS
#undef LOCAL_IS_INTEGER
#undef FUSED_CONST_COMPARE_JUMP
#undef FUSED_SOURCE_COMPARE_JUMP
#undef FUSED_COMPARE_JUMP

    // The prologue GET_ARG 1; ADD2; ARGS n of a call that passed at least
    // the declared arguments: nothing to pad.
    FUSED_CASE(ENTER) {
        if (ARG_IS_INTEGER(0) && ARG_AT(0).integer + 2 >= static_cast<std::int32_t>(ip[3])) {
            ip += 4;
            DISPATCH();
        }
        goto L_GET_ARG;
    }
#undef FUSED_COMPARE_JUMP

    // GET_LOCAL a; GET_LOCAL i; GET_ELEM or SET_ELEM on an array's dense
    // part, as GET_ELEM and SET_ELEM do it.
    FUSED_CASE(LOCALS_GET_ELEM) {
        const ScriptValue& x = LOCAL_AT(0);
        const ScriptValue& y = LOCAL_AT(2);
        if (x.kind == Kind::Array && SECOND_LOCAL_INTEGER) {
            const ScriptArray& a = *x.array;
            const auto i = static_cast<std::uint64_t>(y.integer);
            if (i < a.denseSize && i < a.length && a.dense[i].kind != Kind::Hole) {
                copySlot(sp[-1], a.dense[i]);
                --sp;
                ip += 4;
                DISPATCH();
            }
        }
        goto L_GET_LOCAL;
    }
    FUSED_CASE(LOCALS_SET_ELEM) {
        const ScriptValue& x = LOCAL_AT(0);
        const ScriptValue& y = LOCAL_AT(2);
        if (x.kind == Kind::Array && SECOND_LOCAL_INTEGER) {
            ScriptArray& a = *x.array;
            const auto i = static_cast<std::uint64_t>(y.integer);
            if (i < a.denseSize) {
                copySlot(a.dense[i], sp[0]);
                if (i >= a.length)
                    a.length = i + 1;
                ++sp;
                ip += 4;
                DISPATCH();
            }
        }
        goto L_GET_LOCAL;
    }
    // GET_LOCAL o or GET_ARG o, then GET_PROP name or SET_PROP name, on an
    // own property of an object: o.x and this.x.
#define OBJECT_ARG (ip[0] < frame::info(fp).aux && ARG_AT(0).kind == Kind::Object)
#define FUSED_PROPERTY(name, isObject, target, plainFirst)                                                       \
    FUSED_CASE(name##_GET_PROP) {                                                                                \
        if (isObject)                                                                                            \
            if (const PropertySlot* slot = findOwnSlot((target).object, static_cast<Atom>(ip[2]))) {             \
                *--sp = slot->value;                                                                             \
                ip += 3;                                                                                         \
                DISPATCH();                                                                                      \
            }                                                                                                    \
        goto plainFirst;                                                                                         \
    }                                                                                                            \
    FUSED_CASE(name##_SET_PROP) {                                                                                \
        if (isObject)                                                                                            \
            if (PropertySlot* slot = findOwnSlot((target).object, static_cast<Atom>(ip[2]))) {                   \
                slot->value = sp[0];                                                                             \
                ++sp;                                                                                            \
                ip += 3;                                                                                         \
                DISPATCH();                                                                                      \
            }                                                                                                    \
        goto plainFirst;                                                                                         \
    }
    FUSED_PROPERTY(LOCAL, LOCAL_AT(0).kind == Kind::Object, LOCAL_AT(0), L_GET_LOCAL)
    FUSED_PROPERTY(ARG, OBJECT_ARG, ARG_AT(0), L_GET_ARG)
#undef FUSED_PROPERTY
#undef OBJECT_ARG
#undef ARG_IS_INTEGER
#undef ARG_AT
#undef PUSH_CONSTANT_ALONE
#undef BRANCH_UNLESS
#undef NEXT_AFTER_SEQUENCE
#undef SECOND_LOCAL_INTEGER
#undef LOCAL_AT

#ifndef ORVET_COMPUTED_GOTO
                default: goto L_BAD;
                }
            next:;
            }
#endif
        L_BAD:
            SAVE();
            raiseError(ctx, kErrBadBytecode);

        enter: {
            // sp[0] is the receiver slot of a call whose count was checked.
            const ScriptFunction& f = *callee->function;
            if (sp - low < static_cast<std::ptrdiff_t>(f.frameNeed)) {
                SAVE();
                raiseError(ctx, kErrStackOverflow);
            }
            // The frame addresses exactly the slots the caller pushed. An
            // array literal's negated count (a script function standing in
            // for Array) counts by its magnitude, and the callee sees that
            // magnitude as its count, so that its prologue pads as for any
            // call. The count is checked again here: native code may have run
            // since the call instruction checked it.
            const std::uint32_t argSlots = callArgSlots(ctx, sp, fp);
            sp[1].integer = static_cast<std::int64_t>(argSlots) - 2;
            fp = buildFrame(sp, fp, ip, argSlots);
            sp = frame::emptyStack(fp);
            ip = f.code.data();
            DISPATCH();
        }

        end:
            ctx.result = sp[0];
            if (ctx.runDepth == 1 && ctx.heap.allocatedSinceCollect() > 0) {
                SAVE();
                collect(ctx);
            }
            return;
        } catch (const ScriptError&) {
            if (!ownsNewestTry(ctx, base))
                throw;
            catching = true;
        } catch (const std::bad_alloc&) {
            noteError(ctx, kErrOutOfMemory);
            if (!ownsNewestTry(ctx, base))
                throw ScriptError{};
            catching = true;
        }
    }
}

} // namespace

} // namespace orvet
