// Building strings by concatenation, then searching them.
function build(n) {
    var total = 0;
    var s = "";
    for (var i = 0; i < n; i++) {
        s = "";
        for (var j = 0; j < 40; j++) {
            s = s + j + ",";
        }
        total = total + s.length;
    }
    return total + ":" + s;
}
function search(s, n) {
    var found = 0;
    for (var i = 0; i < n; i++) {
        found = found + s.indexOf("," + (i % 45) + ",");
    }
    return found;
}
var built = build(20000);
print(built);
print(search(built, 200000));
