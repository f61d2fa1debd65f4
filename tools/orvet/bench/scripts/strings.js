// Building strings by concatenation.
function run(n) {
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
print(run(20000));
