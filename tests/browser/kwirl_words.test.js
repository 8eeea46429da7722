// Check as you type reads words as the user sees them: a word split by inline formatting is one
// word, and text still being composed with an input method is not sent until it is committed.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario } = require('./harness');

test('words split by inline formatting are checked whole', () =>
    scenario('kwirl_words-formatting', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.evaluate(() => {
            document.getElementById('kwirl-rich').innerHTML =
                '<p>O<b>nce</b> upon a beau<i>tiful</i> <span>ti</span>me a wr<b>od</b> came.</p><p>Next</p><p>line</p>';
            Verbarium.check(document.getElementById('kwirl-rich'));
        });
        await page.evaluate(() => Verbarium.settled());
        assert.deepEqual(await page.evaluate(() => Verbarium.misspelt(document.getElementById('kwirl-rich'))), ['wrod']);
        // The mark covers the word across its formatting.
        assert.equal(await page.evaluate(() => [...CSS.highlights.get('verbarium-misspelt')]
            .find((r) => document.getElementById('kwirl-rich').contains(r.startContainer)).toString()), 'wrod');
    }));

test('text being composed is checked once committed', () =>
    scenario('kwirl_words-composition', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#kwirl-textarea', 'A ');
        await page.evaluate(() => Verbarium.settled());
        await page.click('#kwirl-textarea');
        await page.keyboard.press('End');
        const cdp = await page.context().newCDPSession(page);
        const sent = () => page.evaluate(() => Verbarium.stats.wordsSent);
        const before = await sent();
        await cdp.send('Input.imeSetComposition', { text: 'wrodz', selectionStart: 5, selectionEnd: 5 });
        await page.waitForTimeout(800);   // past the pause after typing
        assert.equal(await sent(), before);
        await cdp.send('Input.insertText', { text: 'wrodz' });
        await page.waitForFunction(() => Verbarium.misspelt(document.getElementById('kwirl-textarea')).includes('wrodz'));
        assert.equal(await page.inputValue('#kwirl-textarea'), 'A wrodz');
    }));
