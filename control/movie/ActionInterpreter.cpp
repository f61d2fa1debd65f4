#include "control/movie/ActionInterpreter.h"

#include "control/movie/BitReader.h"
#include "control/movie/Playback.h"
#include "control/movie/Properties.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/CharacterActions.h"
#include "control/movie/actions/DataLoading.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lumbra::movie {

namespace {

constexpr std::size_t kMaxStack = 10000;
constexpr unsigned kDefaultRegisters = 4;

enum Op : unsigned {
    End = 0x00, NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07, ToggleQuality = 0x08,
    StopSounds = 0x09, Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D, Equals = 0x0E,
    Less = 0x0F, And = 0x10, Or = 0x11, Not = 0x12, StringEquals = 0x13, StringLength = 0x14,
    StringExtract = 0x15, Pop = 0x17, ToInteger = 0x18, GetVariable = 0x1C, SetVariable = 0x1D,
    SetTarget2 = 0x20, StringAdd = 0x21, GetProperty = 0x22, SetProperty = 0x23, CloneSprite = 0x24,
    RemoveSprite = 0x25, Trace = 0x26, StartDrag = 0x27, EndDrag = 0x28, StringLess = 0x29, Throw = 0x2A,
    CastOp = 0x2B, ImplementsOp = 0x2C, FsCommand2 = 0x2D,
    RandomNumber = 0x30, MBStringLength = 0x31, CharToAscii = 0x32, AsciiToChar = 0x33, GetTime = 0x34,
    MBStringExtract = 0x35, MBCharToAscii = 0x36, MBAsciiToChar = 0x37, Delete = 0x3A, Delete2 = 0x3B,
    DefineLocal = 0x3C, CallFunction = 0x3D, Return = 0x3E, Modulo = 0x3F, NewObject = 0x40,
    DefineLocal2 = 0x41, InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44, TargetPath = 0x45,
    Enumerate = 0x46, Add2 = 0x47, Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A, ToString = 0x4B,
    PushDuplicate = 0x4C, StackSwap = 0x4D, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50,
    Decrement = 0x51, CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54, Enumerate2 = 0x55,
    BitAnd = 0x60, BitOr = 0x61, BitXor = 0x62, BitLShift = 0x63, BitRShift = 0x64, BitURShift = 0x65,
    StrictEquals = 0x66, Greater = 0x67, StringGreater = 0x68, Extends = 0x69,
    GotoFrame = 0x81, GetUrl = 0x83, StoreRegister = 0x87, ConstantPool = 0x88, WaitForFrame = 0x8A,
    SetTarget = 0x8B, GotoLabel = 0x8C, WaitForFrame2 = 0x8D, DefineFunction2 = 0x8E, Try = 0x8F,
    With = 0x94, Push = 0x96, Jump = 0x99, GetUrl2 = 0x9A, DefineFunction = 0x9B, If = 0x9D,
    Call = 0x9E, GotoFrame2 = 0x9F,
};

// DefineFunction2's preload and suppress bits.
enum FunctionFlags : unsigned {
    PreloadThis = 0x01, SuppressThis = 0x02, PreloadArguments = 0x04, SuppressArguments = 0x08,
    PreloadSuper = 0x10, SuppressSuper = 0x20, PreloadRoot = 0x40, PreloadParent = 0x80, PreloadGlobal = 0x100,
};

// A double as a frame number or count: NaN and out-of-range values clamp.
int clampToInt(double n, int low, int high)
{
    if (std::isnan(n))
        return low;
    return int(std::clamp(std::trunc(n), double(low), double(high)));
}

// GetURL2: the window is a clip to load a movie into.
constexpr unsigned kLoadTargetFlag = 0x40;

// A script-visible name: "_root" etc. compare without case in every version.
bool isName(std::u16string_view name, std::u16string_view what) { return equalsFolded(name, what); }

// One activation of a block of code: the frame's actions or a function body.
class Interpreter {
public:
    Interpreter(Machine& machine, std::shared_ptr<DisplayObject> clip, std::span<const std::uint8_t> code,
                std::shared_ptr<const std::vector<std::u16string>> constants, unsigned registers)
        : m_(machine), pb_(machine.playback()), code_(code), self_(clip), target_(std::move(clip)),
          version_(machine.version()), constants_(std::move(constants)),
          registers_(std::max(registers, kDefaultRegisters))
    {
        if (!constants_)
            constants_ = std::make_shared<std::vector<std::u16string>>();
    }

    // The function's own scope: the chain it was defined in and its activation.
    void enterFunction(std::vector<ScopeLink> scope, ActionObject* activation, Value thisValue, Value superValue)
    {
        scope_ = std::move(scope);
        activation_ = activation;
        scope_.push_back({activation, {}});
        this_ = std::move(thisValue);
        super_ = std::move(superValue);
        inFunction_ = true;
    }

    Value& registerAt(unsigned r) { return registers_[r]; }
    std::vector<Value>& stack() { return stack_; }

    Value run()
    {
        if (!inFunction_)
            scope_.push_back({nullptr, self_});
        runRange(0, code_.size());
        return returned_;
    }

private:
    enum class Exit { Fell, Returned, Left };

    // Runs the records in [pc, end). A jump out of the range leaves it with
    // leftTo_ telling where to go on.
    Exit runRange(std::size_t pc, std::size_t end)
    {
        while (pc < end) {
            if (!pb_.takeStep() || !m_.enabled())
                throw ScriptAbort{};
            unsigned op = code_[pc];
            if (op == End)
                return Exit::Returned;
            std::span<const std::uint8_t> body;
            std::size_t next = pc + 1;
            if (op >= 0x80) {
                if (pc + 3 > end)
                    return Exit::Returned;
                std::size_t length = code_[pc + 1] | (code_[pc + 2] << 8);
                next = pc + 3 + length;
                if (next > code_.size())
                    return Exit::Returned;
                body = code_.subspan(pc + 3, length);
            }
            std::optional<std::size_t> jump;
            try {
                BitReader in(body);
                jump = execute(op, in, next);
            } catch (const FormatError&) {
                return Exit::Returned; // a malformed record ends the block
            }
            if (finished_ || pb_.closed())
                return Exit::Returned;
            pc = jump.value_or(next);
            if (pc < rangeStart_ || pc > end) {
                leftTo_ = pc;
                return Exit::Left;
            }
            if (pc == end)
                return Exit::Fell;
        }
        return Exit::Fell;
    }

    // Returns the next pc when the record transfers control.
    std::optional<std::size_t> execute(unsigned op, BitReader& in, std::size_t next)
    {
        switch (op) {
        case NextFrame: step(+1); break;
        case PrevFrame: step(-1); break;
        case Play: if (target_) target_->playing = true; break;
        case Stop: if (target_) target_->playing = false; break;
        case ToggleQuality: pb_.quality = pb_.quality == u"LOW" ? u"HIGH" : u"LOW"; break;
        case StopSounds: break;
        case EndDrag: pb_.stopDrag(); break;
        case Add: binaryNumber([](double a, double b) { return a + b; }); break;
        case Subtract: binaryNumber([](double a, double b) { return a - b; }); break;
        case Multiply: binaryNumber([](double a, double b) { return a * b; }); break;
        case Divide: divide(); break;
        case Modulo: binaryNumber([](double a, double b) { return std::fmod(a, b); }); break;
        case Equals: { double b = popNumber(), a = popNumber(); pushBool(a == b); break; }
        case Less: { double b = popNumber(), a = popNumber(); pushBool(a < b); break; }
        case And: { bool b = popBool(), a = popBool(); pushBool(a && b); break; }
        case Or: { bool b = popBool(), a = popBool(); pushBool(a || b); break; }
        case Not: pushBool(!popBool()); break;
        case StringEquals: { auto b = popString(), a = popString(); pushBool(a == b); break; }
        case StringLess: { auto b = popString(), a = popString(); pushBool(a < b); break; }
        case StringGreater: { auto b = popString(), a = popString(); pushBool(a > b); break; }
        case StringLength: push(double(characterCount(popString(), CharacterUnit::CodeUnit))); break;
        case MBStringLength: push(double(characterCount(popString(), CharacterUnit::CodePoint))); break;
        case StringExtract: stringExtract(CharacterUnit::CodeUnit); break;
        case MBStringExtract: stringExtract(CharacterUnit::CodePoint); break;
        case StringAdd: { auto b = popString(), a = popString(); push(a + b); break; }
        case Pop: pop(); break;
        case ToInteger: push(double(m_.toInt32(pop()))); break;
        case GetVariable: push(getVariable(popString())); break;
        case SetVariable: { Value v = pop(); setVariable(popString(), std::move(v)); break; }
        case SetTarget2: setTarget(pop()); break;
        case GetProperty: getPropertyOp(); break;
        case SetProperty: setPropertyOp(); break;
        case CloneSprite: cloneSprite(); break;
        case RemoveSprite: if (auto clip = clipOf(pop())) pb_.removeClip(*clip); break;
        case Trace: { Value v = pop(); trace(v.isUndefined() && !v.isLapsedClip() ? u"undefined" : m_.toString(v)); break; }
        case StartDrag: startDrag(); break;
        case Throw: throw ScriptThrow{pop()};
        case CastOp: { Value object = pop(), type = pop(); push(m_.instanceOf(object, type) ? object : Value::null()); break; }
        case ImplementsOp: implementsOp(); break;
        case RandomNumber: push(pb_.random(popNumberOrZero())); break;
        case CharToAscii: push(characterCode(popString(), CharacterUnit::CodeUnit, version_)); break;
        case MBCharToAscii: push(characterCode(popString(), CharacterUnit::CodePoint, version_)); break;
        case AsciiToChar: push(characterOf(popNumber(), CharacterUnit::CodeUnit, version_)); break;
        case MBAsciiToChar: push(characterOf(popNumber(), CharacterUnit::CodePoint, version_)); break;
        case GetTime: push(std::floor(pb_.millisecondsSinceStart())); break;
        case Delete: { auto name = popString(); Value object = pop(); push(m_.remove(object, name)); break; }
        case Delete2: push(deleteVariable(popString())); break;
        case DefineLocal: { Value v = pop(); defineLocal(popString(), std::move(v)); break; }
        case DefineLocal2: { auto name = popString(); if (!localScope().has(name)) defineLocal(name, Value()); break; }
        case CallFunction: callFunction(); break;
        case CallMethod: callMethod(); break;
        case NewObject: newObject(); break;
        case NewMethod: newMethod(); break;
        case InitArray: { auto args = popArguments(); push(Value(m_.newArray(std::move(args)))); break; }
        case InitObject: initObject(); break;
        case Return: returned_ = pop(); finished_ = true; break;
        case TypeOf: push(m_.typeOf(pop())); break;
        case TargetPath: { auto clip = pop().toClip(); push(clip ? Value(clip->targetPath()) : Value()); break; }
        case Enumerate: enumerate(getVariable(popString())); break;
        case Enumerate2: enumerate(pop()); break;
        case Add2: add2(); break;
        case Less2: less2(false); break;
        case Greater: less2(true); break;
        case Equals2: { Value b = pop(), a = pop(); pushBool(m_.looseEquals(a, b)); break; }
        case StrictEquals: { Value b = pop(), a = pop(); push(a.sameAs(b)); break; }
        case ToNumber: push(m_.toNumber(pop())); break;
        case ToString: push(popString()); break;
        case PushDuplicate: { Value v = stack_.empty() ? Value() : stack_.back(); push(std::move(v)); break; }
        case StackSwap: { Value b = pop(), a = pop(); push(std::move(b)); push(std::move(a)); break; }
        case GetMember: { Value name = pop(); Value object = pop(); push(getMember(object, m_.toString(name))); break; }
        case SetMember: setMember(); break;
        case Increment: push(popNumber() + 1); break;
        case Decrement: push(popNumber() - 1); break;
        case InstanceOf: { Value type = pop(), object = pop(); push(m_.instanceOf(object, type)); break; }
        case Extends: extends(); break;
        case BitAnd: binaryInt([](std::int32_t a, std::int32_t b) { return double(a & b); }); break;
        case BitOr: binaryInt([](std::int32_t a, std::int32_t b) { return double(a | b); }); break;
        case BitXor: binaryInt([](std::int32_t a, std::int32_t b) { return double(a ^ b); }); break;
        case BitLShift: binaryInt([](std::int32_t a, std::int32_t b) { return double(std::int32_t(std::uint32_t(a) << (b & 31))); }); break;
        case BitRShift: binaryInt([](std::int32_t a, std::int32_t b) { return double(a >> (b & 31)); }); break;
        case BitURShift: binaryInt([](std::int32_t a, std::int32_t b) { return double(std::uint32_t(a) >> (b & 31)); }); break;

        case GotoFrame: { int frame = in.u16(); if (target_) pb_.gotoFrame(*target_, frame, false); break; }
        case GetUrl: { auto url = string(in); auto window = string(in); getUrl(url, window); break; }
        case StoreRegister: { unsigned r = in.u8(); if (r < registers_.size()) registers_[r] = stack_.empty() ? Value() : stack_.back(); break; }
        case ConstantPool: constantPool(in); break;
        case WaitForFrame: { int frame = in.u16(); unsigned skip = in.u8(); return waitForFrame(frame, skip, next); }
        case SetTarget: setTarget(Value(string(in))); break;
        case GotoLabel: { auto label = string(in); if (target_) pb_.gotoLabel(*target_, label, false); break; }
        case WaitForFrame2: { unsigned skip = in.u8(); return waitForFrame(waitFrame(pop()), skip, next); }
        case DefineFunction:
        case DefineFunction2: return defineFunction(op, in, next);
        case Try: return tryBlock(in, next);
        case With: return withBlock(in, next);
        case Push: push(in); break;
        case Jump: return branch(in.s16(), next);
        case If: { int offset = in.s16(); if (popBool()) return branch(offset, next); break; }
        case GetUrl2: {
            unsigned flags = in.u8();
            auto window = popString();
            auto url = popString();
            if (flags & kLoadVariablesFlag) {
                if (target_)
                    loadVariables(m_, *target_, url, window);
            } else if (flags & kLoadTargetFlag) {
                loadMovie(url, window);
            } else {
                getUrl(url, window);
            }
            break;
        }
        case Call: callFrame(pop()); break;
        case GotoFrame2: gotoFrame2(in); break;
        default: break; // unknown: its length, already checked, skips it
        }
        return std::nullopt;
    }

    // --- stack -------------------------------------------------------------

    void push(Value v)
    {
        if (stack_.size() >= kMaxStack)
            throw FormatError("action stack overflow");
        stack_.push_back(std::move(v));
    }
    Value pop()
    {
        if (stack_.empty())
            return Value();
        Value v = std::move(stack_.back());
        stack_.pop_back();
        return v;
    }
    double popNumber() { return m_.toNumber(pop()); }
    double popNumberOrZero()
    {
        double n = popNumber();
        return std::isnan(n) ? 0 : n;
    }
    bool popBool() { return m_.toBoolean(pop()); }
    std::u16string popString() { return m_.toString(pop()); }
    // Before version 5 comparisons give 1 or 0.
    void pushBool(bool b) { version_ < 5 ? push(b ? 1.0 : 0.0) : push(b); }

    std::size_t popCount()
    {
        double n = popNumberOrZero();
        return n <= 0 ? 0 : std::size_t(std::min(n, double(stack_.size())));
    }
    // A count, then that many values: the first popped is the first argument.
    std::vector<Value> popArguments()
    {
        std::vector<Value> args(popCount());
        for (auto& arg : args)
            arg = pop();
        return args;
    }

    template <class F> void binaryNumber(F f)
    {
        double b = popNumber(), a = popNumber();
        push(f(a, b));
    }
    template <class F> void binaryInt(F f)
    {
        Value b = pop(), a = pop();
        push(f(m_.toInt32(a), m_.toInt32(b)));
    }

    // Version 4 shows division by zero as the text "#ERROR#".
    void divide()
    {
        double b = popNumber(), a = popNumber();
        if (b == 0 && version_ < 5)
            push(u"#ERROR#");
        else
            push(a / b);
    }

    std::u16string string(BitReader& in) { return decodeMovieString(in.cstring(), version_); }

    void push(BitReader& in)
    {
        while (!in.atEnd()) {
            switch (in.u8()) {
            case 0: push(string(in)); break;
            case 1: push(in.f32()); break;
            case 2: push(Value::null()); break;
            case 3: push(Value()); break;
            case 4: { unsigned r = in.u8(); push(r < registers_.size() ? registers_[r] : Value()); break; }
            case 5: push(in.u8() != 0); break;
            case 6: push(in.f64()); break;
            case 7: push(double(std::int32_t(in.u32()))); break;
            case 8: pushConstant(in.u8()); break;
            case 9: pushConstant(in.u16()); break;
            default: throw FormatError("unknown push type");
            }
        }
    }
    void pushConstant(unsigned index)
    {
        push(index < constants_->size() ? Value((*constants_)[index]) : Value());
    }

    void constantPool(BitReader& in)
    {
        auto pool = std::make_shared<std::vector<std::u16string>>();
        for (unsigned n = in.u16(); n > 0; --n)
            pool->push_back(string(in));
        constants_ = std::move(pool);
    }

    // --- control flow --------------------------------------------------------

    std::optional<std::size_t> branch(int offset, std::size_t next)
    {
        auto target = std::int64_t(next) + offset;
        if (target < 0 || target > std::int64_t(code_.size())) {
            finished_ = true; // a jump out of the block ends it
            return code_.size();
        }
        return std::size_t(target);
    }

    // WaitForFrame2's frame: a number (1-based) or a frame reference.
    int waitFrame(const Value& v)
    {
        if (v.isString()) {
            FrameRef ref = frameRef(v);
            return ref.frame.value_or(-1);
        }
        return clampToInt(m_.toNumber(v), -1, 65535) - 1;
    }

    // Skips `count` records when the frame is not there. Every frame of a
    // loaded movie is there; one past the end never comes, so the records skip.
    std::optional<std::size_t> waitForFrame(int frame, unsigned count, std::size_t next)
    {
        if (target_ && target_->isClip() && frame < target_->timeline()->frameCount())
            return std::nullopt;
        std::size_t pc = next;
        for (unsigned i = 0; i < count && pc < code_.size(); ++i)
            pc += code_[pc] >= 0x80 && pc + 2 < code_.size() ? 3 + (code_[pc + 1] | (code_[pc + 2] << 8)) : 1;
        return std::min(pc, code_.size());
    }

    std::optional<std::size_t> defineFunction(unsigned op, BitReader& in, std::size_t next)
    {
        auto code = std::make_shared<FunctionCode>();
        code->defineFunction2 = op == DefineFunction2;
        std::u16string name = string(in);
        unsigned params = in.u16();
        if (code->defineFunction2) {
            code->registerCount = in.u8();
            code->flags = in.u16();
        }
        for (unsigned i = 0; i < params; ++i) {
            unsigned reg = code->defineFunction2 ? in.u8() : 0;
            code->params.emplace_back(reg, string(in));
        }
        std::size_t size = in.u16();
        if (next + size > code_.size()) {
            finished_ = true;
            return code_.size();
        }
        code->body = code_.subspan(next, size);
        code->constants = constants_;
        ActionObject* prototype = m_.newObject();
        ActionObject* function = m_.newFunction(nullptr, prototype);
        function->code = std::move(code);
        function->scope = scope_;
        if (!function->scope.empty() && !function->scope.front().object && target_)
            function->scope.front().clip = target_; // defined under SetTarget: that timeline
        if (name.empty())
            push(Value(function));
        else
            defineLocal(name, Value(function));
        return next + size;
    }

    // try { } catch (name or register) { } finally { }
    std::optional<std::size_t> tryBlock(BitReader& in, std::size_t next)
    {
        unsigned flags = in.u8();
        std::size_t trySize = in.u16(), catchSize = in.u16(), finallySize = in.u16();
        bool inRegister = flags & 0x04;
        std::u16string catchName;
        unsigned catchRegister = 0;
        if (inRegister)
            catchRegister = in.u8();
        else
            catchName = string(in);
        std::size_t tryStart = next, catchStart = tryStart + trySize, finallyStart = catchStart + catchSize,
                    after = finallyStart + finallySize;
        if (after > code_.size()) {
            finished_ = true;
            return code_.size();
        }
        bool hasCatch = flags & 0x01, hasFinally = flags & 0x02;
        std::optional<ScriptThrow> pending;
        Exit exit = Exit::Fell;
        std::size_t exitTo = 0;
        // A compiler's jump from the end of one part past the next is an ordinary end.
        auto normal = [&](std::size_t from) {
            if (exit == Exit::Left && exitTo >= from && exitTo <= after)
                exit = Exit::Fell;
        };
        try {
            exit = runSub(tryStart, catchStart, exitTo);
            normal(catchStart);
        } catch (ScriptThrow& thrown) {
            if (hasCatch) {
                if (inRegister) {
                    if (catchRegister < registers_.size())
                        registers_[catchRegister] = thrown.value;
                } else {
                    setVariable(catchName, thrown.value);
                }
                try {
                    exit = runSub(catchStart, finallyStart, exitTo);
                    normal(finallyStart);
                } catch (ScriptThrow& again) {
                    pending = std::move(again);
                }
            } else {
                pending = std::move(thrown);
            }
        }
        if (hasFinally) {
            bool wasFinished = finished_;
            finished_ = false;
            std::size_t finallyTo = 0;
            Exit finallyExit = runSub(finallyStart, after, finallyTo);
            if (finallyExit != Exit::Fell) {
                // A return or jump in finally overrides what went before.
                exit = finallyExit;
                exitTo = finallyTo;
                pending.reset();
            } else {
                finished_ = wasFinished;
            }
        }
        if (pending)
            throw *pending;
        if (exit == Exit::Returned) {
            finished_ = true;
            return code_.size();
        }
        if (exit == Exit::Left)
            return exitTo;
        return after;
    }

    // Runs [begin, end) as a nested range and says how it ended.
    Exit runSub(std::size_t begin, std::size_t end, std::size_t& leftTo)
    {
        std::size_t savedStart = rangeStart_;
        rangeStart_ = begin;
        Exit exit = runRange(begin, end);
        rangeStart_ = savedStart;
        if (finished_)
            exit = Exit::Returned;
        leftTo = leftTo_;
        return exit;
    }

    std::optional<std::size_t> withBlock(BitReader& in, std::size_t next)
    {
        std::size_t size = in.u16();
        Value object = pop();
        std::size_t end = std::min(next + size, code_.size());
        if (!object.isReference())
            return end;
        scope_.push_back(object.toObject() ? ScopeLink{object.toObject(), {}} : ScopeLink{nullptr, object.toClip()});
        std::size_t leftTo = 0;
        Exit exit;
        try {
            exit = runSub(next, end, leftTo);
        } catch (...) {
            scope_.pop_back();
            throw;
        }
        scope_.pop_back();
        if (exit == Exit::Returned)
            return code_.size();
        return exit == Exit::Left ? leftTo : end;
    }

    // --- scopes and variables ---------------------------------------------------

    struct LocalScope {
        Interpreter& i;
        bool has(std::u16string_view name)
        {
            if (i.activation_)
                return i.activation_->find(name) != nullptr;
            auto clip = i.scopeClip();
            return clip && clip->variable(name);
        }
    };
    LocalScope localScope() { return {*this}; }

    // The clip at the base of the scope chain (SetTarget moves it).
    std::shared_ptr<DisplayObject> scopeClip()
    {
        if (!inFunction_)
            return target_;
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it)
            if (!it->object)
                if (auto clip = it->clip.lock())
                    return clip;
        return target_;
    }

    Value linkValue(const ScopeLink& link)
    {
        if (link.object)
            return Value(link.object);
        if (!inFunction_ && scope_.size() == 1)
            return target_ ? Value(target_) : Value();
        return Value(link.clip.lock());
    }

    std::optional<Value> special(std::u16string_view name)
    {
        if (name.empty() || (name[0] != u'_' && name[0] != u't' && name[0] != u'T' && name[0] != u's' && name[0] != u'S'))
            return std::nullopt;
        if (isName(name, u"this"))
            return inFunction_ ? this_ : (target_ ? Value(target_) : Value());
        if (auto root = namedRoot(name))
            return *root ? Value(*root) : Value();
        if (isName(name, u"_global"))
            return Value(m_.global());
        if (isName(name, u"super") && inFunction_)
            return super_;
        if (isName(name, u"_parent")) {
            auto clip = scopeClip();
            return clip && clip->parent() ? Value(clip->parent()->shared_from_this()) : Value();
        }
        return std::nullopt;
    }

    // "_root" and "_levelN" as the running code's clip sees them.
    std::optional<std::shared_ptr<DisplayObject>> namedRoot(std::u16string_view name)
    {
        auto clip = scopeClip();
        return pb_.rootNamed(clip ? *clip : pb_.root(), name);
    }

    static bool isPath(std::u16string_view name)
    {
        return name.find_first_of(u"/:.") != std::u16string_view::npos;
    }

    // "a.b.c" without slashes or colons: the first name through the scope
    // chain, the rest as members, so it reaches into objects as well as clips.
    static bool isDotPath(std::u16string_view name)
    {
        return name.find_first_of(u"/:") == std::u16string_view::npos && name.front() != u'.' &&
               name.back() != u'.';
    }

    // The value the path names up to its last dot; the last name goes to `last`.
    Value dotPathHolder(std::u16string_view path, std::u16string_view& last)
    {
        std::size_t dot = path.find(u'.');
        Value holder = getVariable(std::u16string(path.substr(0, dot)));
        for (;;) {
            std::size_t next = path.find(u'.', dot + 1);
            if (next == std::u16string_view::npos) {
                last = path.substr(dot + 1);
                return holder;
            }
            if (!holder.isReference())
                return {};
            holder = m_.get(holder, path.substr(dot + 1, next - dot - 1));
            dot = next;
        }
    }

    Value getVariable(const std::u16string& name)
    {
        if (auto s = special(name))
            return *s;
        if (isPath(name) && isDotPath(name)) {
            std::u16string_view last;
            Value holder = dotPathHolder(name, last);
            return holder.isReference() ? m_.get(holder, last) : Value();
        }
        if (isPath(name)) {
            auto clip = scopeClip();
            return clip ? pb_.getVariable(*clip, name).value_or(Value()) : Value();
        }
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it) {
            Value holder = linkValue(*it);
            if (holder.isReference() && m_.has(holder, name))
                return m_.get(holder, name);
        }
        if (m_.has(Value(m_.global()), name))
            return m_.get(Value(m_.global()), name);
        return {};
    }

    void setVariable(const std::u16string& name, Value value)
    {
        if (isPath(name) && isDotPath(name)) {
            std::u16string_view last;
            Value holder = dotPathHolder(name, last);
            if (holder.isReference())
                m_.set(holder, last, std::move(value));
            return;
        }
        if (isPath(name)) {
            if (auto clip = scopeClip())
                pb_.setVariable(*clip, name, std::move(value));
            return;
        }
        // The nearest scope that has it (an object, or a clip of with or
        // tellTarget), else the timeline.
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it) {
            Value holder = linkValue(*it);
            if (holder.isReference() && m_.has(holder, name)) {
                m_.set(holder, name, std::move(value));
                return;
            }
        }
        if (auto clip = scopeClip())
            m_.set(Value(clip), name, std::move(value));
    }

    void defineLocal(const std::u16string& name, Value value)
    {
        if (activation_)
            activation_->set(name, std::move(value));
        else if (auto clip = scopeClip())
            m_.set(Value(clip), name, std::move(value));
    }

    bool deleteVariable(const std::u16string& name)
    {
        for (auto it = scope_.rbegin(); it != scope_.rend(); ++it) {
            Value holder = linkValue(*it);
            if (holder.isReference() && m_.has(holder, name))
                return m_.remove(holder, name);
        }
        return m_.remove(Value(m_.global()), name);
    }

    // --- objects and calls ----------------------------------------------------------

    Value getMember(const Value& object, const std::u16string& name)
    {
        if (object.isNullish())
            return {};
        return m_.get(object, name);
    }

    void setMember()
    {
        Value value = pop();
        auto name = popString();
        Value object = pop();
        if (object.isReference())
            m_.set(object, name, std::move(value));
    }

    // `this` for a plain function call: the timeline.
    Value timelineThis() { return target_ ? Value(target_) : Value(); }

    void callFunction()
    {
        auto name = popString();
        auto args = popArguments();
        Value function = getVariable(name);
        push(m_.call(function, timelineThis(), args));
    }

    void callMethod()
    {
        Value nameValue = pop();
        Value object = pop();
        auto args = popArguments();
        std::u16string name = nameValue.isUndefined() ? u"" : m_.toString(nameValue);
        ActionObject* super = object.toObject() && object.toObject()->kind == ActionObject::Kind::Super
                                  ? object.toObject() : nullptr;
        Value self = super ? super->primitive : object;
        if (name.empty()) {
            // The object itself is the function; super() runs the parent constructor.
            if (super) {
                Value constructor = super->elements.empty() ? Value() : super->elements[0];
                ActionObject* home = m_.get(constructor, u"prototype").toObject();
                push(m_.call(constructor, self, args, home));
            } else {
                push(m_.call(object, timelineThis(), args));
            }
            return;
        }
        if (object.isNullish()) {
            push(Value());
            return;
        }
        ActionObject* holder = nullptr;
        Value function = m_.get(object, name, holder);
        push(m_.call(function, self, args, holder));
    }

    void newObject()
    {
        auto name = popString();
        auto args = popArguments();
        push(m_.construct(getVariable(name), args));
    }

    void newMethod()
    {
        Value nameValue = pop();
        Value object = pop();
        auto args = popArguments();
        std::u16string name = nameValue.isUndefined() ? u"" : m_.toString(nameValue);
        push(m_.construct(name.empty() ? object : getMember(object, name), args));
    }

    void initObject()
    {
        ActionObject* object = m_.newObject();
        for (std::size_t n = popCount(); n > 0; --n) {
            Value value = pop();
            object->set(popString(), std::move(value));
        }
        push(Value(object));
    }

    // for (name in object): a null marks the end, then the names, the first to visit on top.
    void enumerate(const Value& object)
    {
        push(Value::null());
        std::vector<std::u16string> names;
        if (auto clip = object.toClip()) {
            for (const auto& [depth, child] : clip->children())
                if (!child->name.empty() && child->scriptable())
                    names.push_back(child->name);
            for (auto& name : clip->variableNames())
                names.push_back(std::move(name));
        } else if (ActionObject* o = object.toObject()) {
            for (int level = 0; o && level < 256; ++level, o = o->proto) {
                if (o->kind == ActionObject::Kind::Array)
                    for (std::size_t i = o->elements.size(); i-- > 0;)
                        names.push_back(numberToString(double(i)));
                for (auto& name : o->names())
                    if (std::ranges::find(names, name) == names.end())
                        names.push_back(std::move(name));
            }
        }
        for (auto it = names.rbegin(); it != names.rend(); ++it)
            push(*it);
    }

    void extends()
    {
        Value superClass = pop();
        Value subClass = pop();
        ActionObject* sub = subClass.toObject();
        if (!sub)
            return;
        ActionObject* prototype = m_.newObject();
        prototype->proto = m_.get(superClass, u"prototype").toObject();
        prototype->set(u"__constructor__", superClass, DontEnum);
        sub->set(u"prototype", Value(prototype), DontEnum);
    }

    void implementsOp()
    {
        Value constructor = pop();
        auto faces = popArguments();
        if (ActionObject* proto = m_.get(constructor, u"prototype").toObject())
            proto->set(u"__interfaces__", Value(m_.newArray(std::move(faces))), DontEnum);
    }

    // --- timelines and targets --------------------------------------------------

    void step(int delta)
    {
        if (target_ && target_->isClip())
            pb_.gotoFrame(*target_, target_->frame + delta, false);
    }

    std::shared_ptr<DisplayObject> clipOf(const Value& v)
    {
        if (auto clip = v.toClip())
            return clip;
        if (v.isString() && self_)
            return pb_.resolveTarget(*self_, v.toString());
        return nullptr;
    }

    void setTarget(const Value& v)
    {
        if (v.isString() && v.toString().empty())
            target_ = self_;
        else
            target_ = clipOf(v);
        if (!inFunction_ && !scope_.empty())
            scope_.front().clip = target_;
    }

    // "label", "7" or "path:frame" / "path:label".
    struct FrameRef {
        std::shared_ptr<DisplayObject> clip;
        std::optional<int> frame; // 0-based
    };
    FrameRef frameRef(const Value& v)
    {
        FrameRef ref{target_, std::nullopt};
        if (!v.isString()) {
            ref.frame = clampToInt(m_.toNumber(v), 0, 65535) - 1;
            return ref;
        }
        std::u16string text = v.toString();
        std::size_t colon = text.rfind(u':');
        if (colon != std::u16string::npos && target_) {
            ref.clip = pb_.resolveTarget(*target_, std::u16string_view(text).substr(0, colon));
            text.erase(0, colon + 1);
        }
        if (!ref.clip || !ref.clip->isClip())
            return {nullptr, std::nullopt};
        double n = parseNumber(text);
        if (!std::isnan(n))
            ref.frame = clampToInt(n, 0, 65535) - 1;
        else
            ref.frame = ref.clip->timeline()->findLabel(text);
        return ref;
    }

    void gotoFrame2(BitReader& in)
    {
        unsigned flags = in.u8();
        int bias = (flags & 0x02) ? in.u16() : 0;
        FrameRef ref = frameRef(pop());
        if (ref.clip && ref.frame)
            pb_.gotoFrame(*ref.clip, *ref.frame + bias, flags & 0x01);
    }

    void callFrame(const Value& v)
    {
        FrameRef ref = frameRef(v);
        if (ref.clip && ref.frame)
            pb_.callFrame(*ref.clip, *ref.frame);
    }

    void getUrl(const std::u16string& url, const std::u16string& window)
    {
        pb_.getUrl(target_ ? *target_ : pb_.root(), url, window);
    }

    // Into a clip or onto a level on the next frame; an empty URL unloads.
    void loadMovie(const std::u16string& url, const std::u16string& window)
    {
        DisplayObject& from = target_ ? *target_ : pb_.root();
        if (auto target = pb_.loadTarget(from, Value(window)))
            pb_.requestLoad(from, *target, url);
    }

    void trace(const std::u16string& message)
    {
        if (pb_.hooks().trace)
            pb_.hooks().trace(message);
    }

    void getPropertyOp()
    {
        int index = clampToInt(popNumberOrZero(), -1, kPropertyCount);
        Value where = pop();
        auto clip = where.isString() && where.toString().empty() ? target_ : clipOf(where);
        push(clip ? getProperty(pb_, *clip, index) : Value());
    }

    void setPropertyOp()
    {
        Value value = pop();
        int index = clampToInt(popNumberOrZero(), -1, kPropertyCount);
        Value where = pop();
        auto clip = where.isString() && where.toString().empty() ? target_ : clipOf(where);
        if (clip)
            setProperty(pb_, *clip, index, value);
    }

    void stringExtract(CharacterUnit unit)
    {
        double count = popNumberOrZero();
        double index = popNumberOrZero();
        push(extractCharacters(popString(), index, count, unit));
    }

    void cloneSprite()
    {
        // Compilers add 16384 to the script's depth, as the file numbers depths.
        int depth = clampToInt(popNumberOrZero(), 0, 2130706428) - 16384;
        auto name = popString();
        if (auto source = clipOf(pop()))
            pb_.cloneClip(*source, name, depth);
    }

    // Pops the target, lock-centre flag and constraint flag, then with the
    // constraint bottom, right, top and left in pixels.
    void startDrag()
    {
        Value target = pop();
        bool lockCenter = popBool();
        std::optional<Rect> bounds;
        if (popBool()) {
            double bottom = popNumberOrZero(), right = popNumberOrZero();
            double top = popNumberOrZero(), left = popNumberOrZero();
            bounds = Rect{left * 20, top * 20, right * 20, bottom * 20};
        }
        auto clip = target.isString() && target.toString().empty() ? target_ : clipOf(target);
        if (clip)
            pb_.startDrag(*clip, lockCenter, bounds);
    }

    void add2()
    {
        Value b = m_.toPrimitive(pop()), a = m_.toPrimitive(pop());
        if (a.isString() || b.isString())
            push(m_.toString(a) + m_.toString(b));
        else
            push(m_.toNumber(a) + m_.toNumber(b));
    }

    void less2(bool greater)
    {
        Value b = m_.toPrimitive(pop()), a = m_.toPrimitive(pop());
        if (greater)
            std::swap(a, b);
        if (a.isString() && b.isString()) {
            push(a.toString() < b.toString());
            return;
        }
        double x = m_.toNumber(a), y = m_.toNumber(b);
        if (std::isnan(x) || std::isnan(y))
            push(Value());
        else
            push(x < y);
    }

    Machine& m_;
    Playback& pb_;
    std::span<const std::uint8_t> code_;
    std::shared_ptr<DisplayObject> self_;
    std::shared_ptr<DisplayObject> target_; // null after SetTarget to a missing clip
    int version_;
    std::shared_ptr<const std::vector<std::u16string>> constants_;
    std::vector<Value> registers_;
    std::vector<Value> stack_;
    std::vector<ScopeLink> scope_; // outermost first
    ActionObject* activation_ = nullptr;
    Value this_;
    Value super_;
    bool inFunction_ = false;
    Value returned_;
    bool finished_ = false;
    std::size_t rangeStart_ = 0;
    std::size_t leftTo_ = 0;
};

// The clip a function runs against: the one its scope chain ends at.
std::shared_ptr<DisplayObject> homeClip(const ActionObject& function, Machine& machine)
{
    for (const auto& link : function.scope)
        if (!link.object)
            if (auto clip = link.clip.lock())
                return clip;
    return machine.currentClip();
}

} // namespace

Value runFunction(Machine& machine, ActionObject& function, const Value& thisValue, std::span<const Value> args,
                  ActionObject* home)
{
    const FunctionCode& code = *function.code;
    auto clip = homeClip(function, machine);
    if (!clip)
        clip = machine.playback().root().shared_from_this();
    // The function runs by the rules of the movie that defined it, from its
    // activation on.
    machine.pushClip(clip);
    struct InClip {
        Machine& m;
        ~InClip() { m.popClip(); }
    } inClip{machine};
    Interpreter frame(machine, clip, code.body, code.constants, code.defineFunction2 ? code.registerCount : 0);

    ActionObject* activation = machine.heap().make(ActionObject::Kind::Plain, nullptr);
    ActionObject* arguments = machine.newArray({args.begin(), args.end()});
    arguments->set(u"callee", Value(&function), DontEnum);
    ActionObject* caller = machine.runningFunction();
    arguments->set(u"caller", caller ? Value(caller) : Value::null(), DontEnum);
    // super: members from the prototype above the one the method came from.
    Value super;
    if (home) {
        ActionObject* s = machine.heap().make(ActionObject::Kind::Super, home->proto);
        s->primitive = thisValue;
        const auto* constructor = home->find(u"__constructor__");
        s->elements.push_back(constructor ? constructor->value : Value());
        super = Value(s);
    }
    Value self = thisValue.isUndefined() ? Value(clip) : thisValue;

    unsigned flags = code.defineFunction2 ? code.flags : 0;
    unsigned reg = 1;
    auto preload = [&](unsigned bit, const Value& v) {
        if ((flags & bit) && reg < 256)
            frame.registerAt(reg++) = v;
    };
    Value parent = clip->parent() ? Value(clip->parent()->shared_from_this()) : Value();
    if (code.defineFunction2 && code.registerCount > 0) {
        preload(PreloadThis, self);
        preload(PreloadArguments, Value(arguments));
        preload(PreloadSuper, super);
        preload(PreloadRoot, Value(machine.playback().root().shared_from_this()));
        preload(PreloadParent, parent);
        preload(PreloadGlobal, Value(machine.global()));
    }
    if (!(flags & SuppressArguments))
        activation->set(u"arguments", Value(arguments));
    for (std::size_t i = 0; i < code.params.size(); ++i) {
        Value v = i < args.size() ? args[i] : Value();
        auto [r, name] = code.params[i];
        if (r != 0 && r < code.registerCount)
            frame.registerAt(r) = std::move(v);
        else
            activation->set(name, std::move(v));
    }
    frame.enterFunction(function.scope, activation, self, super);
    struct Running {
        Machine& m;
        ActionObject* caller;
        ~Running() { m.exchangeRunningFunction(caller); }
    } running{machine, machine.exchangeRunningFunction(&function)};
    return frame.run();
}

void runActionBlock(Playback& playback, DisplayObject& clip, std::span<const std::uint8_t> code,
                    std::vector<Value>* stack)
{
    Machine& machine = playback.machine();
    if (!machine.enabled())
        return;
    auto self = clip.shared_from_this();
    machine.pushClip(self);
    Interpreter interpreter(machine, self, code, nullptr, 0);
    if (stack)
        interpreter.stack().swap(*stack);
    try {
        interpreter.run();
    } catch (const ScriptThrow&) {
        // An uncaught throw ends the block.
    } catch (const ScriptAbort&) {
    } catch (const FormatError&) {
    }
    if (stack)
        interpreter.stack().swap(*stack);
    machine.popClip();
}

} // namespace lumbra::movie

namespace lumbra::movie {

void runHandler(Playback& playback, DisplayObject& clip, std::u16string_view name)
{
    Machine& machine = playback.machine();
    if (!machine.enabled())
        return;
    auto self = clip.shared_from_this();
    Value target(self);
    Value handler = machine.get(target, name);
    if (!handler.isObject())
        return;
    machine.pushClip(self);
    try {
        machine.call(handler, target, {});
    } catch (const ScriptThrow&) {
    } catch (const ScriptAbort&) {
    } catch (const FormatError&) {
    }
    machine.popClip();
}

} // namespace lumbra::movie
