// Array indexing: a sieve of Eratosthenes over a large array, run a few times.
function sieve(n) {
    var flags = [];
    for (var i = 0; i <= n; i++) {
        flags[i] = 1;
    }
    var count = 0;
    for (var p = 2; p <= n; p++) {
        if (flags[p] == 1) {
            count = count + 1;
            for (var k = p + p; k <= n; k = k + p) {
                flags[k] = 0;
            }
        }
    }
    return count;
}
var total = 0;
for (var r = 0; r < 4; r++) {
    total = total + sieve(1000000);
}
print(total);
