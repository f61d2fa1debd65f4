// Integer arithmetic in nested loops over local variables.
function run(n) {
    var sum = 0;
    for (var i = 0; i < n; i++) {
        for (var j = 0; j < 100; j++) {
            sum = (sum + i * j + (j ^ i)) % 1000003;
        }
    }
    return sum;
}
print(run(100000));
