// Check as you type: "Add to dictionary" and "Ignore All" unmark a word, also after a reload.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario } = require('./harness');

async function typeInto(page, text) {
    await page.fill('#kwirl-textarea', '');
    await page.click('#kwirl-textarea');
    await page.keyboard.type(text);
    await page.evaluate(() => Verbarium.settled());
    return page.evaluate(() => Verbarium.misspelt(document.getElementById('kwirl-textarea')));
}

async function menuOn(page, n) {
    const at = await page.evaluate((index) => {
        const r = document.querySelectorAll('.vb-mirror .vb-miss')[index].getBoundingClientRect();
        return { x: r.left + 3, y: r.top + r.height / 2 };
    }, n);
    await page.mouse.click(at.x, at.y, { button: 'right' });
    await page.waitForSelector('.vb-menu [role=menuitem]');
}

test('an added word is no longer marked, also after a reload', () =>
    scenario('kwirl_dictionary', async ({ page, url }) => {
        await page.goto(url + '/');
        assert.deepEqual(await typeInto(page, 'Our robot Zorblax greets you'), ['Zorblax']);
        await menuOn(page, 0);
        await page.click('.vb-menu [role=menuitem] >> text="Add to dictionary"');
        await page.evaluate(() => Verbarium.settled());
        assert.deepEqual(await page.evaluate(() => Verbarium.misspelt(document.getElementById('kwirl-textarea'))), []);

        await page.reload();
        assert.deepEqual(await typeInto(page, 'Zorblax again, and a wrod'), ['wrod']);
    }));

test('Ignore All unmarks every occurrence for the rest of the session', () =>
    scenario('kwirl_dictionary-ignore', async ({ page, url }) => {
        await page.goto(url + '/');
        assert.deepEqual(await typeInto(page, 'Qwzx and qwzx and Qwzx'), ['Qwzx', 'qwzx', 'Qwzx']);
        await menuOn(page, 0);
        await page.click('.vb-menu [role=menuitem] >> text="Ignore All"');
        await page.evaluate(() => Verbarium.settled());
        assert.deepEqual(await page.evaluate(() => Verbarium.misspelt(document.getElementById('kwirl-textarea'))), ['qwzx']);
        await page.reload();
        assert.deepEqual(await typeInto(page, 'Qwzx stays ignored'), []);
    }));

test('on a page of another site the dictionary is kept by name; the menu lists added words and removes them', () =>
    scenario('kwirl_dictionary-cross-site', async ({ page, url }) => {
        const { startSite } = require('./harness');
        const site = await startSite();
        const misspelt = () => page.evaluate(() => Verbarium.misspelt(document.getElementById('body')));
        const typed = async (text) => {
            await page.goto(`${site.url}/pages/editors.html?editor=plain&service=` + encodeURIComponent(url + '/cgi-bin/orthd.cgi'));
            await page.evaluate(() => window.ready);
            await page.click('#body');
            await page.keyboard.type(text);
            await page.evaluate(() => Verbarium.settled());
            return misspelt();
        };
        const menuOnWord = async (word) => {
            const at = await page.evaluate((w) => window.markCentre(w), word);
            await page.mouse.click(at.x, at.y, { button: 'right' });
            await page.waitForSelector('.vb-menu [role=menuitem]');
        };
        try {
            assert.deepEqual(await typed('Our robot Quorblix greets you'), ['Quorblix']);
            await menuOnWord('Quorblix');
            await page.click('.vb-menu [role=menuitem] >> text="Add to dictionary"');
            await page.waitForFunction(() => localStorage.getItem('verbarium.dictionary'));
            await page.evaluate(() => Verbarium.settled());
            // The service has the word (asked with the name, not a cookie): also after clearing
            // what the page remembers of its words.
            await page.evaluate(() => localStorage.removeItem('verbarium.added'));
            assert.deepEqual(await typed('Quorblix again, and a wrod'), ['wrod']);

            await page.evaluate(() => localStorage.setItem('verbarium.added', JSON.stringify(['Quorblix'])));
            assert.deepEqual(await typed('Quorblix and a wrod'), ['wrod']);
            await menuOnWord('wrod');
            await page.click('.vb-menu [role=menuitem] >> text="Words you added…"');
            await page.click('.vb-menu [role=menuitem][data-word="Quorblix"]');
            await page.waitForFunction(() => Verbarium.misspelt(document.getElementById('body')).includes('Quorblix'));
            assert.deepEqual(await typed('Quorblix and a wrod'), ['Quorblix', 'wrod']);
        } finally {
            await site.stop();
        }
    }));
