#include "control/movie/ActionInterpreter.h"

#include "control/movie/BitReader.h"
#include "control/movie/Playback.h"
#include "control/movie/Properties.h"
#include "control/movie/TextCodec.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace lumbra::movie {

namespace {

constexpr std::size_t kMaxStack = 10000;
constexpr int kRegisterCount = 4;
constexpr std::u16string_view kFsCommandPrefix = u"FSCommand:";

enum Op : unsigned {
    End = 0x00, NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07, ToggleQuality = 0x08,
    StopSounds = 0x09, Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D, Equals = 0x0E,
    Less = 0x0F, And = 0x10, Or = 0x11, Not = 0x12, StringEquals = 0x13, StringLength = 0x14,
    StringExtract = 0x15, Pop = 0x17, ToInteger = 0x18, GetVariable = 0x1C, SetVariable = 0x1D,
    SetTarget2 = 0x20, StringAdd = 0x21, GetProperty = 0x22, SetProperty = 0x23, CloneSprite = 0x24,
    RemoveSprite = 0x25, Trace = 0x26, StartDrag = 0x27, EndDrag = 0x28, StringLess = 0x29,
    RandomNumber = 0x30, MBStringLength = 0x31, CharToAscii = 0x32, AsciiToChar = 0x33, GetTime = 0x34,
    MBStringExtract = 0x35, MBCharToAscii = 0x36, MBAsciiToChar = 0x37, Delete = 0x3A, Delete2 = 0x3B,
    DefineLocal = 0x3C, CallFunction = 0x3D, Return = 0x3E, Modulo = 0x3F, NewObject = 0x40,
    DefineLocal2 = 0x41, InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44, TargetPath = 0x45,
    Enumerate = 0x46, Add2 = 0x47, Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A, ToString = 0x4B,
    PushDuplicate = 0x4C, StackSwap = 0x4D, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50,
    Decrement = 0x51, CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54, Enumerate2 = 0x55,
    BitAnd = 0x60, BitOr = 0x61, BitXor = 0x62, BitLShift = 0x63, BitRShift = 0x64, BitURShift = 0x65,
    StrictEquals = 0x66, Greater = 0x67, StringGreater = 0x68,
    GotoFrame = 0x81, GetUrl = 0x83, StoreRegister = 0x87, ConstantPool = 0x88, WaitForFrame = 0x8A,
    SetTarget = 0x8B, GotoLabel = 0x8C, WaitForFrame2 = 0x8D, DefineFunction2 = 0x8E, Try = 0x8F,
    With = 0x94, Push = 0x96, Jump = 0x99, GetUrl2 = 0x9A, DefineFunction = 0x9B, If = 0x9D,
    Call = 0x9E, GotoFrame2 = 0x9F,
};

std::int32_t toInt32(double n)
{
    if (!std::isfinite(n))
        return 0;
    double m = std::fmod(std::trunc(n), 4294967296.0);
    if (m < 0)
        m += 4294967296.0;
    return std::int32_t(std::uint32_t(m));
}

class Interpreter {
public:
    Interpreter(Playback& playback, DisplayObject& clip, std::span<const std::uint8_t> code)
        : pb_(playback), code_(code), self_(clip.shared_from_this()), target_(self_),
          version_(playback.version())
    {
    }

    void run()
    {
        std::size_t pc = 0;
        while (pc < code_.size() && pb_.takeStep()) {
            if (!tryEnds_.empty() && pc == tryEnds_.back().first) {
                pc += tryEnds_.back().second; // past the catch block
                tryEnds_.pop_back();
                continue;
            }
            unsigned op = code_[pc];
            if (op == End)
                return;
            std::span<const std::uint8_t> body;
            std::size_t next = pc + 1;
            if (op >= 0x80) {
                if (pc + 3 > code_.size())
                    return;
                std::size_t length = code_[pc + 1] | (code_[pc + 2] << 8);
                next = pc + 3 + length;
                if (next > code_.size())
                    return;
                body = code_.subspan(pc + 3, length);
            }
            std::optional<std::size_t> jump;
            try {
                BitReader in(body);
                jump = execute(op, in, next);
            } catch (const FormatError&) {
                return; // a malformed record ends the block
            }
            if (finished_ || pb_.closed())
                return;
            pc = jump.value_or(next);
        }
    }

private:
    // Returns the next pc when the record transfers control.
    std::optional<std::size_t> execute(unsigned op, BitReader& in, std::size_t next)
    {
        switch (op) {
        case NextFrame: step(+1); break;
        case PrevFrame: step(-1); break;
        case Play: if (target_) target_->playing = true; break;
        case Stop: if (target_) target_->playing = false; break;
        case ToggleQuality:
        case StopSounds:
        case EndDrag: break;
        case Add: binaryNumber([](double a, double b) { return a + b; }); break;
        case Subtract: binaryNumber([](double a, double b) { return a - b; }); break;
        case Multiply: binaryNumber([](double a, double b) { return a * b; }); break;
        case Divide: binaryNumber([](double a, double b) { return a / b; }); break;
        case Modulo: binaryNumber([](double a, double b) { return std::fmod(a, b); }); break;
        case Equals: { double b = popNumber(), a = popNumber(); pushBool(a == b); break; }
        case Less: { double b = popNumber(), a = popNumber(); pushBool(a < b); break; }
        case And: { bool b = popBool(), a = popBool(); pushBool(a && b); break; }
        case Or: { bool b = popBool(), a = popBool(); pushBool(a || b); break; }
        case Not: pushBool(!popBool()); break;
        case StringEquals: { auto b = popString(), a = popString(); pushBool(a == b); break; }
        case StringLess: { auto b = popString(), a = popString(); pushBool(a < b); break; }
        case StringGreater: { auto b = popString(), a = popString(); pushBool(a > b); break; }
        case StringLength:
        case MBStringLength: push(double(popString().size())); break;
        case StringExtract:
        case MBStringExtract: stringExtract(); break;
        case StringAdd: { auto b = popString(), a = popString(); push(a + b); break; }
        case Pop: pop(); break;
        case ToInteger: push(std::trunc(popNumberOrZero())); break;
        case GetVariable: getVariable(); break;
        case SetVariable: { Value v = pop(); auto name = popString(); pb_.setVariable(scope(), name, std::move(v)); break; }
        case SetTarget2: setTarget(pop()); break;
        case GetProperty: getPropertyOp(); break;
        case SetProperty: setPropertyOp(); break;
        case CloneSprite: cloneSprite(); break;
        case RemoveSprite: if (auto clip = clipOf(pop())) pb_.removeClip(*clip); break;
        case Trace: trace(pop().toString()); break;
        case StartDrag: startDrag(); break;
        case RandomNumber: push(pb_.random(popNumberOrZero())); break;
        case CharToAscii:
        case MBCharToAscii: { auto s = popString(); push(s.empty() ? 0.0 : double(s[0])); break; }
        case AsciiToChar:
        case MBAsciiToChar: push(std::u16string(1, char16_t(toInt32(popNumberOrZero())))); break;
        case GetTime: push(std::floor(pb_.millisecondsSinceStart())); break;
        case Delete: pop(); pop(); push(false); break;
        case Delete2: pop(); push(false); break;
        case DefineLocal: { Value v = pop(); auto name = popString(); scope().setVariable(name, std::move(v)); break; }
        case DefineLocal2: { auto name = popString(); if (!scope().variable(name)) scope().setVariable(name, Value()); break; }
        case CallFunction: { pop(); popArguments(); push(Value()); break; }
        case CallMethod: callMethod(); break;
        case NewObject: { pop(); popArguments(); push(Value()); break; }
        case NewMethod: { pop(); pop(); popArguments(); push(Value()); break; }
        case InitArray: { popArguments(); push(Value()); break; }
        case InitObject: { popPairs(); push(Value()); break; }
        case Return: finished_ = true; break;
        case TypeOf: push(typeOf(pop())); break;
        case TargetPath: { auto clip = clipOf(pop()); push(clip ? Value(clip->targetPath()) : Value()); break; }
        case Enumerate:
        case Enumerate2: pop(); push(Value::null()); break;
        case Add2: add2(); break;
        case Less2: less2(false); break;
        case Greater: less2(true); break;
        case Equals2: { Value b = pop(), a = pop(); push(looseEquals(a, b)); break; }
        case StrictEquals: { Value b = pop(), a = pop(); push(a.type() == b.type() && looseEquals(a, b)); break; }
        case ToNumber: push(popNumber()); break;
        case ToString: push(popString()); break;
        case PushDuplicate: { Value v = stack_.empty() ? Value() : stack_.back(); push(std::move(v)); break; }
        case StackSwap: { Value b = pop(), a = pop(); push(std::move(b)); push(std::move(a)); break; }
        case GetMember: getMember(); break;
        case SetMember: setMember(); break;
        case Increment: push(popNumber() + 1); break;
        case Decrement: push(popNumber() - 1); break;
        case InstanceOf: pop(); pop(); push(false); break;
        case BitAnd: binaryInt([](std::int32_t a, std::int32_t b) { return double(a & b); }); break;
        case BitOr: binaryInt([](std::int32_t a, std::int32_t b) { return double(a | b); }); break;
        case BitXor: binaryInt([](std::int32_t a, std::int32_t b) { return double(a ^ b); }); break;
        case BitLShift: binaryInt([](std::int32_t a, std::int32_t b) { return double(std::int32_t(std::uint32_t(a) << (b & 31))); }); break;
        case BitRShift: binaryInt([](std::int32_t a, std::int32_t b) { return double(a >> (b & 31)); }); break;
        case BitURShift: binaryInt([](std::int32_t a, std::int32_t b) { return double(std::uint32_t(a) >> (b & 31)); }); break;

        case GotoFrame: { int frame = in.u16(); if (target_) pb_.gotoFrame(*target_, frame, false); break; }
        case GetUrl: { auto url = string(in); auto window = string(in); getUrl(url, window); break; }
        case StoreRegister: { unsigned r = in.u8(); if (r < kRegisterCount) registers_[r] = stack_.empty() ? Value() : stack_.back(); break; }
        case ConstantPool: constantPool(in); break;
        case WaitForFrame: { int frame = in.u16(); unsigned skip = in.u8(); return waitForFrame(frame, skip, next); }
        case SetTarget: setTarget(Value(string(in))); break;
        case GotoLabel: { auto label = string(in); if (target_) pb_.gotoLabel(*target_, label, false); break; }
        case WaitForFrame2: { unsigned skip = in.u8(); int frame = int(popNumberOrZero()) - 1; return waitForFrame(frame, skip, next); }
        case DefineFunction:
        case DefineFunction2: return defineFunction(op, in, next);
        case Try: tryBlock(in, next); break;
        case With: pop(); break; // the block runs in the ordinary scope
        case Push: push(in); break;
        case Jump: return branch(in.s16(), next);
        case If: { int offset = in.s16(); if (popBool()) return branch(offset, next); break; }
        case GetUrl2: { in.u8(); auto window = popString(); auto url = popString(); getUrl(url, window); break; }
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
    double popNumber() { return pop().toNumber(version_); }
    double popNumberOrZero()
    {
        double n = popNumber();
        return std::isnan(n) ? 0 : n;
    }
    bool popBool() { return pop().toBoolean(version_); }
    std::u16string popString() { return pop().toString(); }
    // Before version 5 comparisons give 1 or 0.
    void pushBool(bool b) { version_ < 5 ? push(b ? 1.0 : 0.0) : push(b); }

    std::size_t popCount()
    {
        double n = popNumberOrZero();
        return n <= 0 ? 0 : std::size_t(std::min(n, double(stack_.size())));
    }
    void popArguments()
    {
        for (std::size_t n = popCount(); n > 0; --n)
            pop();
    }
    void popPairs()
    {
        double n = popNumberOrZero();
        std::size_t pairs = n <= 0 ? 0 : std::size_t(std::min(n, double(stack_.size())));
        for (std::size_t i = 0; i < pairs * 2; ++i)
            pop();
    }

    template <class F> void binaryNumber(F f)
    {
        double b = popNumber(), a = popNumber();
        push(f(a, b));
    }
    template <class F> void binaryInt(F f)
    {
        std::int32_t b = toInt32(popNumber()), a = toInt32(popNumber());
        push(f(a, b));
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
            case 4: { unsigned r = in.u8(); push(r < kRegisterCount ? registers_[r] : Value()); break; }
            case 5: push(in.u8() != 0); break;
            case 6: push(in.f64()); break;
            case 7: push(double(std::int32_t(in.u32()))); break;
            case 8: pushConstant(in.u8()); break;
            case 9: pushConstant(in.u16()); break;
            default: throw FormatError("unknown push type");
            }
        }
    }
    void pushConstant(unsigned index) { push(index < constants_.size() ? Value(constants_[index]) : Value()); }

    void constantPool(BitReader& in)
    {
        constants_.clear();
        for (unsigned n = in.u16(); n > 0; --n)
            constants_.push_back(string(in));
    }

    // --- control flow --------------------------------------------------------

    std::optional<std::size_t> branch(int offset, std::size_t next)
    {
        auto target = std::int64_t(next) + offset;
        if (target < 0 || target > std::int64_t(code_.size()))
            finished_ = true; // a jump out of the block ends it
        return std::size_t(target < 0 ? 0 : target);
    }

    // Skips `count` records when the frame is not there (all loaded frames are).
    std::optional<std::size_t> waitForFrame(int frame, unsigned count, std::size_t next)
    {
        if (target_ && target_->isClip() && frame >= 0 && frame < target_->timeline()->frameCount())
            return std::nullopt;
        std::size_t pc = next;
        for (unsigned i = 0; i < count && pc < code_.size(); ++i)
            pc += code_[pc] >= 0x80 && pc + 2 < code_.size() ? 3 + (code_[pc + 1] | (code_[pc + 2] << 8)) : 1;
        return std::min(pc, code_.size());
    }

    // Function bodies follow their record; they are not run, only skipped.
    std::optional<std::size_t> defineFunction(unsigned op, BitReader& in, std::size_t next)
    {
        auto name = in.cstring();
        unsigned params = in.u16();
        if (op == DefineFunction2) {
            in.u8();
            in.u16();
        }
        for (unsigned i = 0; i < params; ++i) {
            if (op == DefineFunction2)
                in.u8();
            in.cstring();
        }
        std::size_t size = in.u16();
        if (name.empty())
            push(Value());
        if (next + size > code_.size())
            finished_ = true;
        return next + size;
    }

    void tryBlock(BitReader& in, std::size_t next)
    {
        in.u8();
        std::size_t trySize = in.u16(), catchSize = in.u16();
        if (tryEnds_.size() < 64)
            tryEnds_.emplace_back(next + trySize, catchSize);
    }

    // --- timelines and targets --------------------------------------------------

    // Variables go to the target clip when SetTarget named one.
    DisplayObject& scope() { return target_ ? *target_ : *self_; }

    void step(int delta)
    {
        if (target_ && target_->isClip())
            pb_.gotoFrame(*target_, target_->frame + delta, false);
    }

    std::shared_ptr<DisplayObject> clipOf(const Value& v)
    {
        if (auto clip = v.toClip())
            return clip;
        if (v.isString())
            return pb_.resolveTarget(*self_, v.toString());
        return nullptr;
    }

    void setTarget(const Value& v)
    {
        if (v.isString() && v.toString().empty())
            target_ = self_;
        else
            target_ = clipOf(v);
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
            ref.frame = int(std::max(-1.0, std::min(v.toNumber(version_), 65535.0))) - 1;
            return ref;
        }
        std::u16string text = v.toString();
        std::size_t colon = text.rfind(u':');
        if (colon != std::u16string::npos) {
            ref.clip = pb_.resolveTarget(scope(), std::u16string_view(text).substr(0, colon));
            text.erase(0, colon + 1);
        }
        if (!ref.clip || !ref.clip->isClip())
            return {nullptr, std::nullopt};
        double n = parseNumber(text);
        if (!std::isnan(n))
            ref.frame = int(std::max(-1.0, std::min(n, 65535.0))) - 1;
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
        const HostHooks& hooks = pb_.hooks();
        if (url.size() >= kFsCommandPrefix.size() && equalsFolded(url.substr(0, kFsCommandPrefix.size()), kFsCommandPrefix)) {
            if (hooks.fsCommand)
                hooks.fsCommand(url.substr(kFsCommandPrefix.size()), window);
        } else if (hooks.url) {
            hooks.url(url, window);
        }
    }

    void trace(const std::u16string& message)
    {
        if (pb_.hooks().trace)
            pb_.hooks().trace(message);
    }

    // --- variables, properties, members ------------------------------------------

    void getVariable()
    {
        auto name = popString();
        push(pb_.getVariable(scope(), name).value_or(Value()));
    }

    void getPropertyOp()
    {
        int index = int(popNumberOrZero());
        Value where = pop();
        auto clip = where.isString() && where.toString().empty() ? target_ : clipOf(where);
        push(clip ? getProperty(pb_, *clip, index) : Value());
    }

    void setPropertyOp()
    {
        Value value = pop();
        int index = int(popNumberOrZero());
        Value where = pop();
        auto clip = where.isString() && where.toString().empty() ? target_ : clipOf(where);
        if (clip)
            setProperty(pb_, *clip, index, value);
    }

    void getMember()
    {
        auto name = popString();
        auto clip = pop().toClip();
        if (!clip) {
            push(Value());
            return;
        }
        if (const Value* v = clip->variable(name))
            push(*v);
        else if (auto child = clip->childNamed(name))
            push(Value(child));
        else if (auto property = propertyIndex(name))
            push(getProperty(pb_, *clip, *property));
        else if (equalsFolded(name, u"_parent") && clip->parent())
            push(Value(clip->parent()->shared_from_this()));
        else
            push(Value());
    }

    void setMember()
    {
        Value value = pop();
        auto name = popString();
        auto clip = pop().toClip();
        if (!clip)
            return;
        if (auto property = propertyIndex(name); property && !clip->variable(name))
            setProperty(pb_, *clip, *property, value);
        else
            clip->setVariable(name, std::move(value));
        pb_.dirty = true;
    }

    // Timeline methods of clips; other methods are not known here.
    void callMethod()
    {
        auto name = popString();
        auto clip = pop().toClip();
        std::size_t count = popCount();
        std::vector<Value> args;
        for (std::size_t i = 0; i < count; ++i)
            args.push_back(pop());
        push(Value());
        if (!clip || !clip->isClip())
            return;
        auto saved = target_;
        target_ = clip;
        if (equalsFolded(name, u"play")) {
            clip->playing = true;
        } else if (equalsFolded(name, u"stop")) {
            clip->playing = false;
        } else if (equalsFolded(name, u"nextFrame")) {
            step(+1);
        } else if (equalsFolded(name, u"prevFrame")) {
            step(-1);
        } else if ((equalsFolded(name, u"gotoAndPlay") || equalsFolded(name, u"gotoAndStop")) && !args.empty()) {
            FrameRef ref = frameRef(args[0]);
            if (ref.clip && ref.frame)
                pb_.gotoFrame(*ref.clip, *ref.frame, equalsFolded(name, u"gotoAndPlay"));
        }
        target_ = saved;
    }

    void stringExtract()
    {
        double count = popNumberOrZero();
        double index = popNumberOrZero() - 1; // 1-based
        std::u16string s = popString();
        if (index < 0)
            index = 0;
        if (index >= double(s.size()) || count == 0) {
            push(u"");
            return;
        }
        std::size_t from = std::size_t(index);
        std::size_t n = count < 0 ? s.size() : std::size_t(std::min(count, double(s.size())));
        push(s.substr(from, n));
    }

    void cloneSprite()
    {
        int depth = int(popNumberOrZero());
        auto name = popString();
        if (auto source = clipOf(pop()))
            pb_.cloneClip(*source, name, depth);
    }

    void startDrag()
    {
        pop();
        pop();
        if (popBool())
            for (int i = 0; i < 4; ++i)
                pop();
    }

    void add2()
    {
        Value b = pop(), a = pop();
        if (a.isString() || b.isString())
            push(a.toString() + b.toString());
        else
            push(a.toNumber(version_) + b.toNumber(version_));
    }

    void less2(bool greater)
    {
        Value b = pop(), a = pop();
        if (greater)
            std::swap(a, b);
        if (a.isString() && b.isString()) {
            push(a.toString() < b.toString());
            return;
        }
        double x = a.toNumber(version_), y = b.toNumber(version_);
        if (std::isnan(x) || std::isnan(y))
            push(Value());
        else
            push(x < y);
    }

    bool looseEquals(const Value& a, const Value& b)
    {
        using T = Value::Type;
        T ta = a.type(), tb = b.type();
        bool nullish = (ta == T::Undefined || ta == T::Null), otherNullish = (tb == T::Undefined || tb == T::Null);
        if (nullish || otherNullish)
            return nullish && otherNullish;
        if (ta == T::Clip || tb == T::Clip)
            return ta == tb && a.toClip() == b.toClip();
        if (ta == T::String && tb == T::String)
            return a.toString() == b.toString();
        return a.toNumber(version_) == b.toNumber(version_);
    }

    std::u16string typeOf(const Value& v)
    {
        switch (v.type()) {
        case Value::Type::Number: return u"number";
        case Value::Type::String: return u"string";
        case Value::Type::Boolean: return u"boolean";
        case Value::Type::Null: return u"null";
        case Value::Type::Clip: return u"movieclip";
        default: return u"undefined";
        }
    }

    Playback& pb_;
    std::span<const std::uint8_t> code_;
    std::shared_ptr<DisplayObject> self_;
    std::shared_ptr<DisplayObject> target_; // null after SetTarget to a missing clip
    int version_;
    std::vector<Value> stack_;
    std::vector<std::u16string> constants_;
    Value registers_[kRegisterCount];
    std::vector<std::pair<std::size_t, std::size_t>> tryEnds_;
    bool finished_ = false;
};

} // namespace

void runActionBlock(Playback& playback, DisplayObject& clip, std::span<const std::uint8_t> code)
{
    Interpreter(playback, clip, code).run();
}

} // namespace lumbra::movie
